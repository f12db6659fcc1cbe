#pragma once

#include "data/dberror.h"

#include <QString>

class ServerConnection;

// The company database on the server: the catalogue with its change stamp, the salespeople,
// their orders and lines, the row-level rules that keep each salesperson to its own orders,
// and the function through which an order arrives exactly once. Everything belongs to the
// login that creates it (the office).
class CompanySchema
{
public:
    static constexpr int version = 2;
    // The advisory lock every writer of the catalogue holds until it commits (the trigger that
    // stamps the articles takes it): stamps then become visible in the order they were given.
    static constexpr qint64 catalogueLock = 726200113;

    // Creates what is missing, in one transaction; on a complete database it changes nothing.
    static MaybeError create(ServerConnection &connection);
    // Refuses a database without the company tables or from a newer program.
    static MaybeError check(ServerConnection &connection);

    // Creates the salesperson's login role with its privileges and its row in VENDEDORES.
    static MaybeError addSalesperson(ServerConnection &connection, const QString &code, const QString &name,
        const QString &login, const QString &password);
};
