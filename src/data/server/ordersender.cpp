#include "ordersender.h"

#include "data/connection.h"
#include "data/sentorders.h"
#include "data/serversettings.h"
#include "orderupload.h"
#include "serverconnection.h"
#include "servererrornumber.h"
#include "serverlogin.h"

#include <limits>

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

MaybeError sendOne(ServerConnection &server, const ServerOrder &order, OrderUpload::Outcome &outcome)
{
    MaybeError error;
    for (int attempt = 0; attempt < attemptsOnConflict; ++attempt) {
        error = OrderUpload::send(server, order, outcome);
        if (!error || error->number != ServerErrorNumber::Conflict)
            return error;
    }
    return error;
}

} // namespace

OrderSender::OrderSender(Connection &local, ServerConnection &server)
    : m_local(local)
    , m_server(server)
{ }

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
    qint64 after = std::numeric_limits<qint64>::min();
    QList<ServerOrder> page;
    QList<qint64> committed;
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
        for (const ServerOrder &order : std::as_const(page)) {
            const qint64 number = order.header.value(QStringLiteral("NRO_PEDIDO")).toLongLong();
            after = number;
            OrderUpload::Outcome outcome = OrderUpload::Outcome::Stored;
            if (MaybeError error = sendOne(m_server, order, outcome)) {
                // The server refused this order alone; anything else ends the send.
                if (error->number != ServerErrorNumber::Refused) {
                    result.stoppedBy = error;
                    break;
                }
                result.refused.append(QStringLiteral("Orden %1: %2").arg(number).arg(error->description));
            } else {
                committed.append(number);
                stored += outcome == OrderUpload::Outcome::Stored ? 1 : 0;
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
    ServerConnection server(QStringLiteral("recorvan-envio"));
    if (MaybeError error = ServerLogin::open(server, settings, dialogs)) {
        result.stoppedBy = error;
        result.notSent = result.total;
        return result;
    }
    OrderSender sender(local, server);
    sender.setProgress(progress);
    return sender.run();
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
    if (notSent > 0)
        lines << QStringLiteral("Órdenes que no se pudieron enviar: %1.").arg(notSent);
    lines << refused;
    if (stoppedBy)
        lines << (sent + alreadyThere + refused.size() == 0
                ? QStringLiteral("No se pudo enviar al servidor: %1").arg(stoppedBy->description)
                : QStringLiteral("El envío se interrumpió: %1").arg(stoppedBy->description));
    if (cancelled)
        lines << QStringLiteral("El envío se canceló.");
    if (notSent > 0)
        lines << QStringLiteral(
            "Las órdenes no enviadas quedan guardadas en este equipo y se enviarán la próxima vez.");
    return lines.join(QLatin1Char('\n'));
}
