#pragma once

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Every message box, input box and file dialog of the program goes through here, so that
// tests can answer them from a script and see exactly what the user would have seen.
// The interface needs no widgets: the store and the command-line tool ask through it too.
class Dialogs
{
public:
    // The values of QMessageBox's own buttons and icons, so the widget side passes them on.
    enum Button : unsigned {
        NoButton = 0x00000000,
        Ok = 0x00000400,
        Yes = 0x00004000,
        No = 0x00010000,
        Retry = 0x00080000,
        Cancel = 0x00400000,
    };
    Q_DECLARE_FLAGS(Buttons, Button)
    enum Icon { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };

    struct Message
    {
        QString text;
        QString title;
        Icon icon = NoIcon;
        Buttons buttons = Ok;
        Button defaultButton = NoButton;
    };
    struct Input
    {
        QString prompt;
        QString title;
        QString proposed;
        // A password: the typed text is not shown.
        bool secret = false;
    };
    struct OpenFile
    {
        QString title;
        QString folder;
        QString filter;
    };
    struct SaveFile
    {
        QString title;
        QString proposed; // the path the dialog starts from: its folder and file name
        QString filter;
        QString suffix; // added to a name typed without one
    };
    // A question answered by one of several buttons named by the program.
    struct Choice
    {
        QString text;
        QString title;
        Icon icon = Question;
        QStringList options; // the buttons' captions, in order
        int defaultOption = 0;
        int escapeOption = -1; // what closing the box chooses: the last option unless set
    };
    // A few labelled texts typed together, accepted or cancelled as one.
    struct Form
    {
        struct Field
        {
            QString label;
            QString value;
        };
        QString text;
        QString title;
        QList<Field> fields;
    };

    virtual ~Dialogs() = default;

    // A box given no title bears the program's name.
    Button message(Message box);
    Button message(const QString &text, const QString &title, Icon icon = NoIcon, Buttons buttons = Ok,
        Button defaultButton = NoButton);
    // The typed text; empty on Cancel.
    QString input(Input box);
    QString input(const QString &prompt, const QString &title, const QString &proposed = {});
    // The chosen path; empty on Cancel.
    QString openFile(const OpenFile &dialog);
    // The path chosen to write to; empty on Cancel. Whether to replace a file that is there is
    // the caller's to ask.
    QString saveFile(const SaveFile &dialog);
    // The index of the chosen option; closing the box chooses the escape option.
    int choose(Choice box);
    // The fields' texts, in order; nullopt on Cancel.
    std::optional<QStringList> fill(Form box);

    // The one instance for the run: the one set by the program, or ConsoleDialogs.
    static Dialogs &current();
    static void setCurrent(Dialogs *dialogs);

protected:
    virtual Button showMessage(const Message &box) = 0;
    virtual QString showInput(const Input &box) = 0;
    virtual QString showOpenFile(const OpenFile &dialog) = 0;
    virtual QString showSaveFile(const SaveFile &dialog) = 0;
    virtual int showChoice(const Choice &box) = 0;
    virtual std::optional<QStringList> showForm(const Form &box) = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Dialogs::Buttons)

// Where no one can answer (the command-line tool, a run without windows): each box is
// written to the error output and given up on: Cancel or No when offered, else its default.
class ConsoleDialogs : public Dialogs
{
protected:
    Button showMessage(const Message &box) override;
    QString showInput(const Input &box) override;
    QString showOpenFile(const OpenFile &dialog) override;
    QString showSaveFile(const SaveFile &dialog) override;
    int showChoice(const Choice &box) override;
    std::optional<QStringList> showForm(const Form &box) override;
};
