#pragma once

#include <QString>

#include <optional>

// A failure as the user is shown it: a number and a description. It is the one error value of
// the program, whichever database or file failed. The numbers keep apart:
//   1 to 2999   SQLite's own result codes, extended ones included (DbErrorNumber names the few
//               used before the engine is reached);
//   3000s       the store's own findings (DbErrorNumber::NoRowChanged);
//   8000s       the company server's causes (ServerErrorNumber, in the server room).
struct DbError
{
    int number = 0;
    QString description;

    // The one way a number is shown inside a text: "Error 14: …".
    QString text() const;

    // A file that is there already and is never written over.
    static DbError notOverwritten(const QString &path);
};

using MaybeError = std::optional<DbError>;

// A failure as the engine reported it. The kinds a user can do something about (a full disk, a
// failing disk, a file that cannot be written, a file another program holds, a damaged file)
// are told in Spanish, with the engine's own words after them in parentheses.
DbError engineError(int code, const QString &engineText);

// Numbers of the failures found before the engine is reached; they follow SQLite's own codes.
namespace DbErrorNumber {
constexpr int Generic = 1; // SQLITE_ERROR
constexpr int Busy = 5; // SQLITE_BUSY
constexpr int ReadOnly = 8; // SQLITE_READONLY
constexpr int CantOpen = 14; // SQLITE_CANTOPEN
constexpr int NotADatabase = 26; // SQLITE_NOTADB
constexpr int NoRowChanged = 3021; // no stored row matched the statement's condition
constexpr int Refused = 3022; // what was typed or read cannot be stored; the description says why
constexpr int Cancelled = 3023; // the user cancelled a question: nothing more to say (no description)
} // namespace DbErrorNumber
