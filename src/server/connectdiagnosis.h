#pragma once

#include "data/dberror.h"

class ServerAddress;

// Tells why connecting to the company server failed, in words the user can act on. libpq's
// own messages follow the machine's language, so the cause is found by asking libpq
// directly (ping, the password flags, a second database) rather than by reading them.
DbError diagnoseConnectFailure(const ServerAddress &address, qint64 elapsedMs, const QString &driverText);
