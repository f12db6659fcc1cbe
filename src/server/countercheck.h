#pragma once

#include "base/ordernumber.h"
#include "data/dberror.h"

#include <optional>

class Connection;
class Dialogs;
class ServerConnection;

// The laptop's order counter against the company server. A counter below the highest number
// the server holds for the salesperson (a reinstalled laptop, a restored database) would send
// every new order under a number that is taken; the salesperson is told and offered to raise
// it past that number. New orders only: stored ones keep their numbers, and no counter is
// ever lowered.
class CounterCheck
{
public:
    // The highest order number the server holds for the login's salesperson (0: none).
    static MaybeError highestOnServer(ServerConnection &server, OrderNumber &highest);
    // `raisedTo` is the counter as now stored when it was raised.
    static MaybeError offerRaise(
        Connection &local, ServerConnection &server, Dialogs &dialogs, std::optional<OrderNumber> &raisedTo);
};
