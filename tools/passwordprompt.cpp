#include "passwordprompt.h"

#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

bool readLine(QString &line)
{
    std::string read;
    if (!std::getline(std::cin, read))
        return false;
    if (!read.empty() && read.back() == '\r')
        read.pop_back();
    line = QString::fromStdString(read);
    return true;
}

bool readHidden(const char *prompt, QString &line)
{
    std::cerr << prompt << std::flush;
    termios shown{};
    const bool canHide = tcgetattr(STDIN_FILENO, &shown) == 0;
    if (canHide) {
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    const bool ok = readLine(line);
    if (canHide)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
    std::cerr << '\n';
    return ok;
}

} // namespace

bool readNewPassword(const QString &login, QString &password)
{
    if (!isatty(STDIN_FILENO)) {
        if (!readLine(password) || password.isEmpty()) {
            std::cerr << "Falta la contraseña: se lee de la primera línea de la entrada estándar.\n";
            return false;
        }
        return true;
    }
    const std::string prompt = "Contraseña para " + login.toStdString() + ": ";
    QString again;
    if (!readHidden(prompt.c_str(), password) || !readHidden("Repita la contraseña: ", again))
        return false;
    if (password.isEmpty()) {
        std::cerr << "La contraseña no puede estar vacía.\n";
        return false;
    }
    if (password != again) {
        std::cerr << "Las dos contraseñas no coinciden.\n";
        return false;
    }
    return true;
}

bool readPasswordAtTerminal(const QString &prompt, QString &password)
{
    if (!isatty(STDIN_FILENO))
        return false;
    const std::string shown = prompt.toStdString() + " ";
    return readHidden(shown.c_str(), password) && !password.isEmpty();
}
