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

    static MaybeError load(Connection &connection, Typed &typed);
    // Checks and stores both in one transaction, and brings the run's globals up to date.
    // When something typed cannot be stored (DbErrorNumber::Refused, the description says why)
    // or the user cancelled a question (DbErrorNumber::Cancelled), nothing is.
    // A server configured where there was none, on a laptop with orders, asks which of them
    // to send. A server or counter changed is compared with the server's highest order number.
    static MaybeError save(Connection &connection, const Typed &typed, Dialogs &dialogs);
    // Connects with the server settings as typed, asking for a password through the dialogs
    // when libpq's password file has none. What a try that connected found, as the user reads
    // it, is in `found`.
    static MaybeError tryServer(const ServerSettings::Typed &typed, Dialogs &dialogs, QString &found);
    // The login used when none is typed.
    static QString defaultLogin(const ServerSettings::Typed &typed);

private:
    static void compareCounter(Connection &connection, const ServerSettings &server, Dialogs &dialogs);
};
