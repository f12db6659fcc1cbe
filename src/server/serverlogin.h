#pragma once

#include "data/dberror.h"
#include "serveraddress.h"

class Dialogs;
class ServerConnection;
struct ServerSettings;

// Opens the company server as this laptop's salesperson, from the stored settings. The
// password comes from libpq's password file (~/.pgpass, or the file PGPASSFILE names); when
// that has none, it is asked through the dialogs and kept in memory for the run only.
class ServerLogin
{
public:
    // An empty login is the salesperson's default one.
    static ServerAddress address(const ServerSettings &settings);
    // Opens the connection and makes sure it reached the company database as the configured
    // salesperson; the connection stays open for the caller.
    static MaybeError open(ServerConnection &connection, const ServerSettings &settings, Dialogs &dialogs);
    // Forgets the passwords typed during the run.
    static void forgetPasswords();
};
