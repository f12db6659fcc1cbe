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

    // What was shown: the member of its kind is filled in.
    struct Shown
    {
        Kind kind;
        Message message;
        Input input;
        OpenFile openFile;
        SaveFile saveFile;
        Choice choice;
        Form form;
    };

    ScriptedDialogs() { Dialogs::setCurrent(this); }
    ~ScriptedDialogs() override { Dialogs::setCurrent(nullptr); }

    // Queue the next answer. The action, if given, runs while the box is "open".
    ScriptedDialogs &answerMessage(Dialogs::Button button, std::function<void()> action = {});
    ScriptedDialogs &answerInput(const QString &text, std::function<void()> action = {});
    ScriptedDialogs &answerOpenFile(const QString &path) { return queue({.kind = Kind::OpenFile, .text = path}); }
    ScriptedDialogs &answerSaveFile(const QString &path) { return queue({.kind = Kind::SaveFile, .text = path}); }
    ScriptedDialogs &answerChoice(int option) { return queue({.kind = Kind::Choice, .option = option}); }
    // The texts typed into a form's fields; nullopt cancels it.
    ScriptedDialogs &answerForm(const std::optional<QStringList> &values)
    {
        return queue({.kind = Kind::Form, .values = values});
    }

    const QList<Shown> &shown() const { return m_shown; }
    // The messages shown, in order.
    QList<Message> messages() const { return all(Kind::Message, &Shown::message); }
    QList<Input> inputs() const { return all(Kind::Input, &Shown::input); }
    int pendingAnswers() const { return int(m_script.size()); }
    void clear()
    {
        m_script.clear();
        m_shown.clear();
    }

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

    ScriptedDialogs &queue(Answer answer);
    template <typename Box> QList<Box> all(Kind kind, Box Shown::*box) const
    {
        QList<Box> result;
        for (const Shown &shown : m_shown) {
            if (shown.kind == kind)
                result.append(shown.*box);
        }
        return result;
    }
    // Records the box and takes the next answer, which must be of the box's kind.
    std::optional<Answer> take(const Shown &shown, const QString &what);

    QQueue<Answer> m_script;
    QList<Shown> m_shown;
};
