#pragma once

#include <QObject>
#include <QPointer>

class QLineEdit;
class QWidget;

// Enter walks forward through the window's controls and Escape walks back, as Tab and
// Shift+Tab do, so that the salesperson can drive a whole order from the keyboard.
// Returns the key the focused control still receives: 0 when the key was used here.
int ProcesoTecla(int key, QWidget *focused);

// Selects the whole text of the box, so that typing replaces it.
void SeleccionoTexto(QLineEdit *box);

// Moves the focus to the next (or previous) control of the same window that takes the
// focus by Tab; disabled and hidden controls are passed over. False when there is none.
bool moveFocusInTabOrder(QWidget *from, bool forward);

// Sees every key press of one window before its focused control (an application-wide
// filter, so a control that handles Enter or Escape itself never gets them first) and
// swallows the keys ProcesoTecla uses. Keys of other windows, such as a message box
// over this one, are left alone.
class KeyboardFlow : public QObject
{
    Q_OBJECT

public:
    explicit KeyboardFlow(QWidget *window);
    ~KeyboardFlow() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
};
