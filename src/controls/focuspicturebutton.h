#pragma once

#include <QPixmap>
#include <QWidget>

// A picture that takes part in the tab order and acts when the focus arrives on it: by
// Tab, Shift+Tab (so also by Enter and Escape of the keyboard flow), by a click while it
// does not hold the focus, or by the program moving the focus there. It does not act when
// the focus merely comes back to it because a message box or another window closed, or
// its own window was activated again: the user did not go anywhere.
class FocusPictureButton : public QWidget
{
    Q_OBJECT

public:
    explicit FocusPictureButton(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    // Whether a focus arrival for this reason is the user (or the program) moving to it.
    static bool isArrival(Qt::FocusReason reason);

signals:
    void focusArrived();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    QString m_caption;
};
