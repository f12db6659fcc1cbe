#include "scripteddialogs.h"

#include <QTest>

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::setCurrent(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::setCurrent(nullptr);
}

ScriptedDialogs &ScriptedDialogs::answerMessage(Dialogs::Button button, std::function<void()> action)
{
    m_script.enqueue({Kind::Message, button, {}, std::move(action)});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::answerInput(const QString &text, std::function<void()> action)
{
    m_script.enqueue({Kind::Input, Dialogs::NoButton, text, std::move(action)});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::answerOpenFile(const QString &path)
{
    m_script.enqueue({Kind::OpenFile, Dialogs::NoButton, path, {}});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::answerSaveFile(const QString &path)
{
    m_script.enqueue({Kind::SaveFile, Dialogs::NoButton, path, {}});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::answerChoice(int option)
{
    Answer answer{Kind::Choice, Dialogs::NoButton, {}, {}};
    answer.option = option;
    m_script.enqueue(answer);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::answerForm(const std::optional<QStringList> &values)
{
    Answer answer{Kind::Form, Dialogs::NoButton, {}, {}};
    answer.values = values;
    m_script.enqueue(answer);
    return *this;
}

QList<Dialogs::Message> ScriptedDialogs::messages() const
{
    QList<Message> result;
    for (const Shown &shown : m_shown) {
        if (shown.kind == Kind::Message)
            result.append(shown.message);
    }
    return result;
}

QList<Dialogs::Input> ScriptedDialogs::inputs() const
{
    QList<Input> result;
    for (const Shown &shown : m_shown) {
        if (shown.kind == Kind::Input)
            result.append(shown.input);
    }
    return result;
}

void ScriptedDialogs::clear()
{
    m_script.clear();
    m_shown.clear();
}

bool ScriptedDialogs::takeAnswer(Kind kind, const QString &what, Answer &answer)
{
    if (m_script.isEmpty() || m_script.head().kind != kind) {
        QTest::qFail(qPrintable(QStringLiteral("Unexpected dialog: ") + what), __FILE__, __LINE__);
        return false;
    }
    answer = m_script.dequeue();
    if (answer.action)
        answer.action();
    return true;
}

Dialogs::Button ScriptedDialogs::showMessage(const Message &box)
{
    m_shown.append({Kind::Message, box, {}, {}, {}, {}, {}});
    Answer answer;
    if (!takeAnswer(Kind::Message, box.title + QStringLiteral(": ") + box.text, answer))
        return box.buttons.testFlag(Dialogs::Cancel) ? Dialogs::Cancel : Dialogs::Ok;
    return answer.button;
}

QString ScriptedDialogs::showInput(const Input &box)
{
    m_shown.append({Kind::Input, {}, box, {}, {}, {}, {}});
    Answer answer;
    if (!takeAnswer(Kind::Input, box.title + QStringLiteral(": ") + box.prompt, answer))
        return {};
    return answer.text;
}

QString ScriptedDialogs::showOpenFile(const OpenFile &dialog)
{
    m_shown.append({Kind::OpenFile, {}, {}, dialog, {}, {}, {}});
    Answer answer;
    if (!takeAnswer(Kind::OpenFile, dialog.title, answer))
        return {};
    return answer.text;
}

QString ScriptedDialogs::showSaveFile(const SaveFile &dialog)
{
    m_shown.append({Kind::SaveFile, {}, {}, {}, dialog, {}, {}});
    Answer answer;
    if (!takeAnswer(Kind::SaveFile, dialog.title, answer))
        return {};
    return answer.text;
}

int ScriptedDialogs::showChoice(const Choice &box)
{
    m_shown.append({Kind::Choice, {}, {}, {}, {}, box, {}});
    Answer answer;
    if (!takeAnswer(Kind::Choice, box.title + QStringLiteral(": ") + box.text, answer))
        return box.escapeOption;
    return answer.option;
}

std::optional<QStringList> ScriptedDialogs::showForm(const Form &box)
{
    m_shown.append({Kind::Form, {}, {}, {}, {}, {}, box});
    Answer answer;
    if (!takeAnswer(Kind::Form, box.title + QStringLiteral(": ") + box.text, answer))
        return std::nullopt;
    return answer.values;
}
