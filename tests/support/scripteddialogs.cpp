#include "scripteddialogs.h"

#include <QTest>

ScriptedDialogs &ScriptedDialogs::answerMessage(Dialogs::Button button, std::function<void()> action)
{
    return queue({.kind = Kind::Message, .button = button, .action = std::move(action)});
}

ScriptedDialogs &ScriptedDialogs::answerInput(const QString &text, std::function<void()> action)
{
    return queue({.kind = Kind::Input, .text = text, .action = std::move(action)});
}

ScriptedDialogs &ScriptedDialogs::queue(Answer answer)
{
    m_script.enqueue(std::move(answer));
    return *this;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(const Shown &shown, const QString &what)
{
    m_shown.append(shown);
    if (m_script.isEmpty() || m_script.head().kind != shown.kind) {
        QTest::qFail(qPrintable(QStringLiteral("Unexpected dialog: ") + what), __FILE__, __LINE__);
        return std::nullopt;
    }
    const Answer answer = m_script.dequeue();
    if (answer.action)
        answer.action();
    return answer;
}

Dialogs::Button ScriptedDialogs::showMessage(const Message &box)
{
    const auto answer = take({.kind = Kind::Message, .message = box}, box.title + QStringLiteral(": ") + box.text);
    return answer ? answer->button : box.buttons.testFlag(Dialogs::Cancel) ? Dialogs::Cancel : Dialogs::Ok;
}

QString ScriptedDialogs::showInput(const Input &box)
{
    const auto answer = take({.kind = Kind::Input, .input = box}, box.title + QStringLiteral(": ") + box.prompt);
    return answer ? answer->text : QString();
}

QString ScriptedDialogs::showOpenFile(const OpenFile &dialog)
{
    const auto answer = take({.kind = Kind::OpenFile, .openFile = dialog}, dialog.title);
    return answer ? answer->text : QString();
}

QString ScriptedDialogs::showSaveFile(const SaveFile &dialog)
{
    const auto answer = take({.kind = Kind::SaveFile, .saveFile = dialog}, dialog.title);
    return answer ? answer->text : QString();
}

int ScriptedDialogs::showChoice(const Choice &box)
{
    const auto answer = take({.kind = Kind::Choice, .choice = box}, box.title + QStringLiteral(": ") + box.text);
    return answer ? answer->option : box.escapeOption;
}

std::optional<QStringList> ScriptedDialogs::showForm(const Form &box)
{
    const auto answer = take({.kind = Kind::Form, .form = box}, box.title + QStringLiteral(": ") + box.text);
    return answer ? answer->values : std::nullopt;
}
