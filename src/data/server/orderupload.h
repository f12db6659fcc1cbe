#pragma once

#include "data/dberror.h"

class ServerConnection;
struct ServerOrder;

// Sends one order with its lines to the company server, where it is stored and lowers the
// company stock in one transaction, or is recognised as already there.
class OrderUpload
{
public:
    enum class Outcome { Stored, AlreadyThere };

    static MaybeError send(ServerConnection &connection, const ServerOrder &order, Outcome &outcome);
};
