#include "dialogs.h"

#include "version.h"

#include <QTextStream>

#include <cstdio>

namespace {

Dialogs *installed = nullptr;

QTextStream &errorOutput()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace

Dialogs::Button Dialogs::message(Message box)
{
    if (box.title.isEmpty())
        box.title = productName();
    return showMessage(box);
}

Dialogs::Button Dialogs::message(
    const QString &text, const QString &title, Icon icon, Buttons buttons, Button defaultButton)
{
    return message(Message{text, title, icon, buttons, defaultButton});
}

QString Dialogs::input(Input box)
{
    if (box.title.isEmpty())
        box.title = productName();
    return showInput(box);
}

QString Dialogs::input(const QString &prompt, const QString &title, const QString &proposed)
{
    return input(Input{prompt, title, proposed});
}

QString Dialogs::openFile(const OpenFile &dialog)
{
    return showOpenFile(dialog);
}

QString Dialogs::saveFile(const SaveFile &dialog)
{
    return showSaveFile(dialog);
}

int Dialogs::choose(Choice box)
{
    if (box.title.isEmpty())
        box.title = productName();
    if (box.escapeOption < 0)
        box.escapeOption = int(box.options.size()) - 1;
    return showChoice(box);
}

std::optional<QStringList> Dialogs::fill(Form box)
{
    if (box.title.isEmpty())
        box.title = productName();
    return showForm(box);
}

Dialogs &Dialogs::current()
{
    static ConsoleDialogs console;
    return installed ? *installed : console;
}

void Dialogs::setCurrent(Dialogs *dialogs)
{
    installed = dialogs;
}

Dialogs::Button ConsoleDialogs::showMessage(const Message &box)
{
    errorOutput() << box.title << ": " << box.text << "\n";
    errorOutput().flush();
    for (Button giveUp : {Cancel, No}) {
        if (box.buttons.testFlag(giveUp))
            return giveUp;
    }
    return box.defaultButton != NoButton ? box.defaultButton : Ok;
}

QString ConsoleDialogs::showInput(const Input &box)
{
    errorOutput() << box.title << ": " << box.prompt << "\n";
    errorOutput().flush();
    return {};
}

QString ConsoleDialogs::showOpenFile(const OpenFile &)
{
    return {};
}

QString ConsoleDialogs::showSaveFile(const SaveFile &dialog)
{
    errorOutput() << dialog.title << ": " << dialog.proposed << "\n";
    errorOutput().flush();
    return {};
}

int ConsoleDialogs::showChoice(const Choice &box)
{
    errorOutput() << box.title << ": " << box.text << " [" << box.options.join(QStringLiteral(" / ")) << "]\n";
    errorOutput().flush();
    return box.escapeOption;
}

std::optional<QStringList> ConsoleDialogs::showForm(const Form &box)
{
    errorOutput() << box.title << ": " << box.text << "\n";
    errorOutput().flush();
    return std::nullopt;
}
