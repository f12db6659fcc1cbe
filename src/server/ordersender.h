#pragma once

#include "base/ordernumber.h"
#include "data/dberror.h"

#include <QStringList>

#include <functional>
#include <optional>

class Connection;
class Dialogs;
class ServerConnection;
struct ServerOrder;

// Sends every confirmed order the company server does not have yet, lowest number first. Each
// order goes with its lines in one server transaction that also lowers the company stock, and
// is recorded here as sent only after the server committed it. A send cut short anywhere (a
// dropped connection, a killed program, a stopped server) is simply run again: the server
// recognises the orders it holds, so nothing is doubled and nothing is half-sent.
class OrderSender
{
public:
    struct Result
    {
        int total = 0; // orders that were waiting
        int sent = 0; // stored by the server now
        int alreadyThere = 0; // the server had them already
        int notSent = 0;
        QStringList refused; // the orders the server refused, each with why
        QStringList conflicts; // the orders whose number the server holds for another order
        QStringList renumbered; // the orders sent under a new number
        std::optional<OrderNumber> lastOrder; // the counter as stored, when the send raised it
        std::optional<DbError> stoppedBy; // why the others were not sent
        bool cancelled = false;

        // The message the user reads.
        QString text() const;
        bool complete() const { return notSent == 0 && !stoppedBy; }
    };
    // Told after each order; false cancels the send between two orders.
    using Progress = std::function<bool(int done, int total)>;

    OrderSender(Connection &local, ServerConnection &server);
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Orders read and recorded as sent at a time.
    void setPageSize(int orders) { m_pageSize = qMax(1, orders); }
    // Asked whether an order whose number the server holds for another order is to be sent
    // under the next free number. Without them, such an order is only reported.
    void setDialogs(Dialogs *dialogs) { m_dialogs = dialogs; }
    // Sends on the open connection.
    Result run();

    // Connects as the salesperson of the stored settings (asking for a password through the
    // dialogs when needed), offers to raise a counter that lags behind the server's, and sends.
    // With nothing waiting, the server is not reached at all.
    static Result sendAll(Connection &local, Dialogs &dialogs, const Progress &progress = {});

private:
    // Offers the next free number to order `number`, which the server holds another order under;
    // the number it went under, which `order` then carries, when it was sent.
    std::optional<OrderNumber> sendRenumbered(
        ServerOrder &order, OrderNumber number, const QString &conflict, Result &result);

    Connection &m_local;
    ServerConnection &m_server;
    Progress m_progress;
    Dialogs *m_dialogs = nullptr;
    int m_pageSize = 200;
};
