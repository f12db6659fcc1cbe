#include "ordersender.h"

#include "base/dialogs.h"
#include "base/regional.h"
#include "countercheck.h"
#include "data/connection.h"
#include "data/orderrenumbering.h"
#include "data/sentorders.h"
#include "data/serversettings.h"
#include "orderupload.h"
#include "serverconnection.h"
#include "servererrornumber.h"
#include "serverlogin.h"

namespace {

// A conflict with another salesperson's order is undone by the server and simply tried again.
constexpr int attemptsOnConflict = 5;

// Each order is one statement and so one transaction of its own. Its commit does not wait for
// the disk: the orders are made durable together, before they are recorded as sent (below).
const QString commitWithoutWaiting = QStringLiteral("SET synchronous_commit = off");
// A transaction that commits waiting for the disk flushes the server's log up to its own
// commit, and with it every order committed before it.
const QString flushCommitted
    = QStringLiteral(R"(SELECT set_config('synchronous_commit', 'on', true) AS S, pg_current_xact_id() AS X)");

const QString numberColumn = QStringLiteral("NRO_PEDIDO");

MaybeError sendOne(ServerConnection &server, const ServerOrder &order, OrderUpload::Received &received)
{
    MaybeError error;
    for (int attempt = 0; attempt < attemptsOnConflict; ++attempt) {
        error = OrderUpload::send(server, order, received);
        if (!error || error->number != ServerErrorNumber::Conflict)
            return error;
    }
    return error;
}

QString conflictText(OrderNumber number, const OrderUpload::Received &received)
{
    return QStringLiteral("El servidor ya tiene otra orden #%1 del vendedor %2 (cliente %3, fecha %4).")
        .arg(number.text(), received.salesperson,
            received.customer.isEmpty() ? QStringLiteral("sin nombre") : received.customer,
            received.date.isValid() ? Regional::shortDate(received.date) : QStringLiteral("sin fecha"));
}

} // namespace

OrderSender::OrderSender(Connection &local, ServerConnection &server)
    : m_local(local)
    , m_server(server)
{ }

std::optional<OrderNumber> OrderSender::sendRenumbered(
    ServerOrder &order, OrderNumber number, const QString &conflict, Result &result)
{
    OrderNumber onServer;
    OrderNumber next;
    MaybeError error = CounterCheck::highestOnServer(m_server, onServer);
    if (!error)
        error = OrderRenumbering::nextFree(m_local, onServer, next);
    if (error) {
        result.conflicts.append(conflict + QLatin1Char(' ') + error->description);
        return std::nullopt;
    }
    const QString question = conflict
        + QStringLiteral("\n\n¿Desea darle a la orden #%1 de este equipo (cliente %2) el número #%3, el siguiente "
                         "libre, y enviarla con ese número? La orden impresa mostrará el número nuevo.")
              .arg(number.text(), order.header.value(QStringLiteral("CLIENTE")).toString(), next.text());
    if (m_dialogs->message(
            question, QStringLiteral("Envío al servidor"), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::No)
        != Dialogs::Yes) {
        result.conflicts.append(conflict);
        return std::nullopt;
    }
    if (MaybeError failed = OrderRenumbering::renumber(m_local, number, next)) {
        result.conflicts.append(conflict + QLatin1Char(' ') + failed->description);
        return std::nullopt;
    }
    result.lastOrder = std::max(result.lastOrder.value_or(next), next);
    order.header.insert(numberColumn, next.value());
    for (QVariantMap &line : order.lines)
        line.insert(numberColumn, next.value());
    OrderUpload::Received received;
    error = sendOne(m_server, order, received);
    if (!error && received.outcome == OrderUpload::Outcome::Stored) {
        result.renumbered.append(
            QStringLiteral("La orden #%1 pasó a ser la #%2 y se envió.").arg(number.text(), next.text()));
        return next;
    }
    const QString why = error ? error->description : conflictText(next, received);
    result.conflicts.append(QStringLiteral("La orden #%1 pasó a ser la #%2, pero no se pudo enviar: %3")
                                .arg(number.text(), next.text(), why));
    return std::nullopt;
}

OrderSender::Result OrderSender::run()
{
    Result result;
    if (MaybeError error = SentOrders::unsentCount(m_local, result.total)) {
        result.stoppedBy = error;
        return result;
    }
    if (result.total == 0)
        return result;
    if (MaybeError error = m_server.execute(commitWithoutWaiting)) {
        result.stoppedBy = error;
        result.notSent = result.total;
        return result;
    }
    int done = 0;
    std::optional<OrderNumber> after;
    QList<ServerOrder> page;
    QList<OrderNumber> committed;
    int stored = 0;
    // What the server committed is recorded page by page, once it is on the server's disk: a
    // crash in between only means that those orders are found on the server next time. Until
    // then they do not count as sent.
    const auto record = [&]() -> bool {
        if (committed.isEmpty())
            return true;
        RowSet flushed;
        MaybeError error = m_server.select(flushCommitted, {}, flushed);
        if (!error)
            error = SentOrders::markSent(m_local, committed, QDateTime::currentDateTime());
        if (!error) {
            result.sent += stored;
            result.alreadyThere += int(committed.size()) - stored;
        } else if (!result.stoppedBy) {
            result.stoppedBy = error;
        }
        committed.clear();
        stored = 0;
        return !error;
    };
    while (!result.stoppedBy && !result.cancelled) {
        if (MaybeError error = SentOrders::unsent(m_local, after, m_pageSize, page)) {
            result.stoppedBy = error;
            break;
        }
        if (page.isEmpty())
            break;
        for (ServerOrder &order : page) {
            const std::optional<OrderNumber> read = OrderNumber::read(order.header.value(numberColumn).toString());
            if (!read) {
                // No order number follows it: nothing after it can be read by number either.
                result.stoppedBy = DbError{DbErrorNumber::Generic,
                    QStringLiteral("una orden guardada tiene el número %1, que no es un número de orden.")
                        .arg(order.header.value(numberColumn).toString())};
                break;
            }
            const OrderNumber number = *read;
            after = number;
            OrderUpload::Received received;
            if (MaybeError error = sendOne(m_server, order, received)) {
                // The server refused this order alone; anything else ends the send.
                if (error->number != ServerErrorNumber::Refused) {
                    result.stoppedBy = error;
                    break;
                }
                result.refused.append(QStringLiteral("Orden %1: %2").arg(number.text(), error->description));
            } else if (received.outcome == OrderUpload::Outcome::Conflict) {
                // Another order under this number: this one waits, unless the salesperson gives
                // it a new number now. (A renumbered order lies beyond this page's reading.)
                const QString conflict = conflictText(number, received);
                if (!m_dialogs)
                    result.conflicts.append(conflict);
                else if (const std::optional<OrderNumber> renumbered
                    = sendRenumbered(order, number, conflict, result)) {
                    committed.append(*renumbered);
                    ++stored;
                }
            } else {
                committed.append(number);
                stored += received.outcome == OrderUpload::Outcome::Stored ? 1 : 0;
            }
            ++done;
            if (m_progress && !m_progress(done, result.total)) {
                result.cancelled = true;
                break;
            }
        }
        if (!record())
            break;
    }
    record();
    result.notSent = result.total - result.sent - result.alreadyThere;
    return result;
}

OrderSender::Result OrderSender::sendAll(Connection &local, Dialogs &dialogs, const Progress &progress)
{
    Result result;
    ServerSettings settings;
    if (MaybeError error = ServerSettings::read(local, settings)) {
        result.stoppedBy = error;
        return result;
    }
    if (MaybeError error = SentOrders::unsentCount(local, result.total)) {
        result.stoppedBy = error;
        return result;
    }
    if (result.total == 0)
        return result;
    // Nothing is recorded in a file that is no longer where the program opened it.
    if (MaybeError error = local.checkStillInPlace()) {
        result.stoppedBy = error;
        result.notSent = result.total;
        return result;
    }
    ServerConnection server(QStringLiteral("recorvan-envio"));
    std::optional<OrderNumber> raised;
    MaybeError error = ServerLogin::open(server, settings, dialogs);
    if (!error)
        error = CounterCheck::offerRaise(local, server, dialogs, raised);
    if (error) {
        result.stoppedBy = error;
        result.notSent = result.total;
        return result;
    }
    OrderSender sender(local, server);
    sender.setProgress(progress);
    sender.setDialogs(&dialogs);
    Result sent = sender.run();
    if (raised && !sent.lastOrder)
        sent.lastOrder = raised;
    return sent;
}

QString OrderSender::Result::text() const
{
    if (total == 0 && !stoppedBy)
        return QStringLiteral("No hay órdenes sin enviar.");
    QStringList lines;
    if (sent > 0 || alreadyThere > 0 || (notSent == 0 && !stoppedBy)) {
        lines << QStringLiteral("Órdenes enviadas al servidor: %1.").arg(sent);
        if (alreadyThere > 0)
            lines << QStringLiteral("Órdenes que ya estaban en el servidor: %1.").arg(alreadyThere);
    }
    lines << renumbered;
    if (notSent > 0)
        lines << QStringLiteral("Órdenes que no se pudieron enviar: %1.").arg(notSent);
    lines << conflicts << refused;
    if (stoppedBy)
        lines << (sent + alreadyThere + refused.size() + conflicts.size() == 0
                ? QStringLiteral("No se pudo enviar al servidor: %1").arg(stoppedBy->description)
                : QStringLiteral("El envío se interrumpió: %1").arg(stoppedBy->description));
    if (cancelled)
        lines << QStringLiteral("El envío se canceló.");
    if (notSent > 0)
        lines << QStringLiteral(
            "Las órdenes no enviadas quedan guardadas en este equipo y se enviarán la próxima vez.");
    if (!conflicts.isEmpty())
        lines << QStringLiteral("Una orden con un número que el servidor ya tiene no se enviará con ese número: al "
                                "exportar de nuevo, el programa ofrece darle el siguiente número libre.");
    return lines.join(QLatin1Char('\n'));
}
