#pragma once

#include <QString>

// A new password for a login: typed twice without echo when standard input is a terminal,
// otherwise the first line of standard input (so that a script can pipe it in without it
// ever standing on a command line or in the environment). False with a reason on stderr.
bool readNewPassword(const QString &login, QString &password);

// A password for this run only, typed without echo at the terminal; false when standard input
// is no terminal (nobody can be asked) or nothing was typed.
bool readPasswordAtTerminal(const QString &prompt, QString &password);
