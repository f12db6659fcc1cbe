#pragma once

#include "base/dialogs.h"

#include <QList>
#include <QQueue>

#include <functional>
#include <optional>

// Answers every box from a script and records what was shown. A box the script did not
// expect fails the running test and is answered with Cancel (or an empty text).
// Installed as the run's dialogs while it lives.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Choice, Form };

    struct Shown
    {
        Kind kind;
        Message message; // for messages
        Input input; // for input boxes
        OpenFile openFile; // for file-open dialogs
        SaveFile saveFile; // for save dialogs
        Choice choice; // for questions with named buttons
        Form form; // for forms
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Queue the next answer. The action, if given, runs while the box is "open".
    ScriptedDialogs &answerMessage(Dialogs::Button button, std::function<void()> action = {});
    ScriptedDialogs &answerInput(const QString &text, std::function<void()> action = {});
    ScriptedDialogs &answerOpenFile(const QString &path);
    ScriptedDialogs &answerSaveFile(const QString &path);
    ScriptedDialogs &answerChoice(int option);
    // The texts typed into a form's fields; nullopt cancels it.
    ScriptedDialogs &answerForm(const std::optional<QStringList> &values);

    const QList<Shown> &shown() const { return m_shown; }
    // The messages shown, in order.
    QList<Message> messages() const;
    QList<Input> inputs() const;
    int pendingAnswers() const { return int(m_script.size()); }
    void clear();

protected:
    Dialogs::Button showMessage(const Message &box) override;
    QString showInput(const Input &box) override;
    QString showOpenFile(const OpenFile &dialog) override;
    QString showSaveFile(const SaveFile &dialog) override;
    int showChoice(const Choice &box) override;
    std::optional<QStringList> showForm(const Form &box) override;

private:
    struct Answer
    {
        Kind kind;
        Dialogs::Button button = Dialogs::NoButton;
        QString text;
        std::function<void()> action;
        int option = -1;
        std::optional<QStringList> values;
    };

    bool takeAnswer(Kind kind, const QString &what, Answer &answer);

    QQueue<Answer> m_script;
    QList<Shown> m_shown;
};
