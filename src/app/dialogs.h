#pragma once

#include <QMessageBox>
#include <QString>

// Every message box, input box and file dialog of the program goes through here, so that
// tests can answer them from a script and see exactly what the user would have seen.
class Dialogs
{
public:
    struct Message
    {
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    struct Input
    {
        QString prompt;
        QString title;
        QString proposed;
    };
    struct OpenFile
    {
        QString title;
        QString folder;
        QString filter;
    };

    virtual ~Dialogs() = default;

    // A box given no title bears the program's name.
    QMessageBox::StandardButton message(Message box);
    QMessageBox::StandardButton message(const QString &text, const QString &title,
        QMessageBox::Icon icon = QMessageBox::NoIcon, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // The typed text; empty on Cancel.
    QString input(Input box);
    QString input(const QString &prompt, const QString &title, const QString &proposed = {});
    // The chosen path; empty on Cancel.
    QString openFile(const OpenFile &dialog);

    // The one instance for the run; the Qt one unless another was set.
    static Dialogs &current();
    static void setCurrent(Dialogs *dialogs);

protected:
    virtual QMessageBox::StandardButton showMessage(const Message &box) = 0;
    virtual QString showInput(const Input &box) = 0;
    virtual QString showOpenFile(const OpenFile &dialog) = 0;
};
