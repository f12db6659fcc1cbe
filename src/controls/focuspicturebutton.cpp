#include "focuspicturebutton.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

FocusPictureButton::FocusPictureButton(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void FocusPictureButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void FocusPictureButton::setCaption(const QString &caption)
{
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

bool FocusPictureButton::isArrival(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::ActiveWindowFocusReason: // a modal window closed or the window was activated again
    case Qt::PopupFocusReason: // a menu or popup closed
        return false;
    default:
        return true;
    }
}

void FocusPictureButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
    if (isArrival(event->reason()))
        emit focusArrived();
}

void FocusPictureButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void FocusPictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = rect();
    // The picture and the caption side by side, centred together.
    const QSize pictureSize = m_picture.isNull()
        ? QSize()
        : m_picture.deviceIndependentSize().toSize().scaled(area.size(), Qt::KeepAspectRatio);
    const int gap = !m_picture.isNull() && !m_caption.isEmpty() ? 3 : 0;
    // A caption too long for the picture's place takes smaller type rather than being cut.
    QFont captionFont = font();
    int textWidth = m_caption.isEmpty() ? 0 : QFontMetrics(captionFont).horizontalAdvance(m_caption);
    while (
        textWidth > 0 && pictureSize.width() + gap + textWidth > area.width() - 2 && captionFont.pointSizeF() > 5.5) {
        captionFont.setPointSizeF(captionFont.pointSizeF() - 0.25);
        textWidth = QFontMetrics(captionFont).horizontalAdvance(m_caption);
    }
    painter.setFont(captionFont);
    int x = area.x() + (area.width() - pictureSize.width() - gap - textWidth) / 2;
    if (!m_picture.isNull()) {
        const QRect target(QPoint(x, area.y() + (area.height() - pictureSize.height()) / 2), pictureSize);
        painter.drawPixmap(target, m_picture);
        x += pictureSize.width() + gap;
    }
    if (!m_caption.isEmpty())
        painter.drawText(QRect(x, area.y(), textWidth + 1, area.height()), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = area.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
