#include "keyboardflow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

bool moveFocusInTabOrder(QWidget *from, bool forward)
{
    if (!from)
        return false;
    QWidget *const window = from->window();
    QWidget *candidate = from;
    // The chain is a ring; a full turn without a taker means there is nowhere to go.
    for (;;) {
        candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (!candidate || candidate == from)
            return false;
        if (candidate->window() != window || candidate->focusProxy())
            continue;
        if (!candidate->isEnabled() || !candidate->isVisible())
            continue;
        if (!(candidate->focusPolicy() & Qt::TabFocus))
            continue;
        candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
}

int ProcesoTecla(int key, QWidget *focused)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveFocusInTabOrder(focused, true);
        return 0;
    case Qt::Key_Escape:
        moveFocusInTabOrder(focused, false);
        return 0;
    default:
        return key;
    }
}

void SeleccionoTexto(QLineEdit *box)
{
    if (box)
        box->setSelection(0, int(box->text().size()));
}

KeyboardFlow::KeyboardFlow(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

KeyboardFlow::~KeyboardFlow()
{
    qApp->removeEventFilter(this);
}

bool KeyboardFlow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver->window() != m_window)
        return false;
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    QWidget *focused = QApplication::focusWidget();
    if (!focused || focused->window() != m_window)
        focused = m_window->focusWidget();
    if (!focused)
        return false;
    return ProcesoTecla(keyEvent->key(), focused) == 0;
}
