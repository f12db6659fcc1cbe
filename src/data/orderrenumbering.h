#pragma once

#include "base/ordernumber.h"
#include "dberror.h"

class Connection;

// A stored order that waits to be sent, given another number because the company server holds
// another order under its own. The new number is free here and on the server, and the counter
// moves up to it, so that no later order takes it.
class OrderRenumbering
{
public:
    // The number after the highest one used: the counter, the stored orders and
    // `usedElsewhere` (the server's highest for this salesperson).
    static MaybeError nextFree(Connection &connection, OrderNumber usedElsewhere, OrderNumber &number);
    // The order, its lines and its bookkeeping take number `to`, in one transaction. An order
    // already sent keeps its number.
    static MaybeError renumber(Connection &connection, OrderNumber from, OrderNumber to);
};
