#include "dialogs.h"

#include "qtdialogs.h"
#include "version.h"

namespace {

Dialogs *installed = nullptr;

} // namespace

QMessageBox::StandardButton Dialogs::message(Message box)
{
    if (box.title.isEmpty())
        box.title = productName();
    return showMessage(box);
}

QMessageBox::StandardButton Dialogs::message(const QString &text, const QString &title, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
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

Dialogs &Dialogs::current()
{
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void Dialogs::setCurrent(Dialogs *dialogs)
{
    installed = dialogs;
}
