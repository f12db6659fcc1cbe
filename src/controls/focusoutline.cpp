#include "focusoutline.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>

FocusOutline::FocusOutline(QWidget *window, const QColor &colour)
    : QWidget(window)
    , m_colour(colour)
{
    setObjectName(QStringLiteral("FocusOutline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusOutline::follow(QWidget *focused)
{
    QWidget *window = parentWidget();
    if (!focused || focused == window || focused->window() != window) {
        m_target = nullptr;
        hide();
        return;
    }
    m_target = focused;
    // A box or a grid has its frame on its own edge, half outside so that it shows over the
    // edge the style draws and half inside so that close neighbours are barely touched. Tick
    // boxes and pictures draw no edge: theirs stands a pixel clear of them.
    const bool edged = qobject_cast<QLineEdit *>(focused) || qobject_cast<QAbstractScrollArea *>(focused);
    const int outside = edged ? thickness / 2 : thickness + 1;
    const QRect control(focused->mapTo(window, QPoint(0, 0)), focused->size());
    setGeometry(control.adjusted(-outside, -outside, outside, outside));
    raise();
    show();
    update();
}

void FocusOutline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area.x(), area.y(), area.width(), thickness, m_colour);
    painter.fillRect(area.x(), area.bottom() - thickness + 1, area.width(), thickness, m_colour);
    painter.fillRect(area.x(), area.y(), thickness, area.height(), m_colour);
    painter.fillRect(area.right() - thickness + 1, area.y(), thickness, area.height(), m_colour);
}
