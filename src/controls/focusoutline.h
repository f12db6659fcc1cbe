#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// A frame drawn round whichever control of its window holds the keyboard focus, in a colour
// of the window's own, so the focus is plain to see on every control (tick boxes and
// pictures included) whatever the style draws for it. It lies over the controls, takes no
// clicks and follows the focus; it is hidden while the focus is in another window.
class FocusOutline : public QWidget
{
    Q_OBJECT

public:
    FocusOutline(QWidget *window, const QColor &colour);

    // The control framed now, or null.
    QWidget *target() const { return m_target; }
    // The frame's width, drawn half outside and half inside the control's edge.
    static constexpr int thickness = 2;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow(QWidget *focused);

    QColor m_colour;
    QPointer<QWidget> m_target;
};
