#pragma once

#include "base/ordernumber.h"
#include "dberror.h"
#include "serverorder.h"

#include <QDateTime>
#include <QList>

#include <optional>

class Connection;

// Which confirmed orders the company server holds. An order is recorded here (ENVIOS) only
// after the server committed it; one the server has but that is not recorded yet is simply
// sent again, and the server recognises it.
class SentOrders
{
public:
    // Confirmed orders not recorded as sent.
    static MaybeError unsentCount(Connection &connection, int &count);
    // The same, for the desk: nullopt when no server is configured.
    static MaybeError unsentWhenConfigured(Connection &connection, std::optional<int> &count);
    // Up to `limit` unsent orders numbered above `after` (from the lowest without it), lowest
    // first, each with its lines.
    static MaybeError unsent(
        Connection &connection, std::optional<OrderNumber> after, int limit, QList<ServerOrder> &orders);
    // Records the orders as sent at `when`, in one transaction; an order recorded before keeps
    // its time.
    static MaybeError markSent(Connection &connection, const QList<OrderNumber> &numbers, const QDateTime &when);
    // Records every unsent order as not to be sent, decided at `when`: a laptop that gets a
    // server keeps the orders the office handled before from reaching it again.
    static MaybeError setAsideUnsent(Connection &connection, const QDateTime &when);
};
