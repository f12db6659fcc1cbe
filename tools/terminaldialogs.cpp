#include "terminaldialogs.h"

#include "passwordprompt.h"

QString TerminalDialogs::showInput(const Input &box)
{
    if (!box.secret)
        return ConsoleDialogs::showInput(box);
    QString password;
    return readPasswordAtTerminal(box.prompt, password) ? password : QString();
}
