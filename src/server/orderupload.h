#pragma once

#include "data/dberror.h"

#include <QDate>
#include <QString>

class ServerConnection;
struct ServerOrder;

// Sends one order with its lines to the company server, where it is stored and lowers the
// company stock in one transaction, or is recognised as already there, or is found to clash
// with another order the server holds under the same number.
class OrderUpload
{
public:
    enum class Outcome { Stored, AlreadyThere, Conflict };

    struct Received
    {
        Outcome outcome = Outcome::Stored;
        // The order the server already holds under that number, for a conflict.
        QString salesperson;
        QString customer;
        QDate date;
    };

    static MaybeError send(ServerConnection &connection, const ServerOrder &order, Received &received);
};
