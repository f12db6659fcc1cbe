#pragma once

#include "data/companysettings.h"
#include "data/dberror.h"
#include "data/listformat.h"
#include "data/serversettings.h"

#include <QString>

#include <optional>

class Connection;
class Dialogs;

// The rules behind the settings window: the company's settings row, the article list's format and
// the company server, read from the store, checked and stored, and the server tried as typed.
class SettingsEditor
{
public:
    struct Typed
    {
        CompanySettings::Typed company;
        ServerSettings::Typed server;
        // The article list's format, by its code.
        QString listFormat = ListFormat::es().code();
    };

    // What a try of the server found, as the user reads it.
    struct Trial
    {
        bool connected = false;
        QString text;
    };

    static MaybeError load(Connection &connection, Typed &typed);
    // Checks and stores both in one transaction, and brings the run's globals up to date.
    // The refusal, as a sentence, when something typed cannot be stored; then nothing is (an
    // empty refusal: the user cancelled a question, and there is nothing more to say).
    // A server configured where there was none, on a laptop with orders, asks which of them
    // to send. A server or counter changed is compared with the server's highest order number.
    static std::optional<QString> save(Connection &connection, const Typed &typed, Dialogs &dialogs);
    // Connects with the server settings as typed, asking for a password through the dialogs
    // when libpq's password file has none.
    static Trial tryServer(const ServerSettings::Typed &typed, Dialogs &dialogs);
    // The login used when none is typed.
    static QString defaultLogin(const ServerSettings::Typed &typed);

private:
    static void compareCounter(Connection &connection, const ServerSettings &server, Dialogs &dialogs);
};
