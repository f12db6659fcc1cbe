#include "countercheck.h"

#include "base/dialogs.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/schema.h"
#include "serverconnection.h"

namespace {

// Row-level security keeps the salesperson to its own orders.
const QString selectHighest = QStringLiteral("SELECT COALESCE(MAX(NRO_PEDIDO), 0) AS N FROM PEDIDOS");
const QString selectCode = QStringLiteral("SELECT VENDEDOR_ACTUAL() AS CODIGO");

} // namespace

MaybeError CounterCheck::highestOnServer(ServerConnection &server, OrderNumber &highest)
{
    RowSet rows;
    if (MaybeError error = server.select(selectHighest, {}, rows))
        return error;
    // The server's column holds 32 bits: every number it gives is an order number.
    highest = OrderNumber::read(rows.text(0, QStringLiteral("N"))).value_or(OrderNumber::highest());
    return std::nullopt;
}

MaybeError CounterCheck::offerRaise(
    Connection &local, ServerConnection &server, Dialogs &dialogs, std::optional<OrderNumber> &raisedTo)
{
    raisedTo.reset();
    OrderNumber highest;
    if (MaybeError error = highestOnServer(server, highest))
        return error;
    std::optional<Schema::StoredSettings> stored;
    if (MaybeError error = Schema::readSettings(local, stored))
        return error;
    // A counter that holds no order number already leaves none for another order.
    const std::optional<OrderNumber> counter
        = stored ? OrderNumber::read(stored->ultimoPedido) : std::optional<OrderNumber>();
    const std::optional<OrderNumber> next = highest.next();
    if (!counter || *counter >= highest || !next)
        return std::nullopt;
    RowSet rows;
    if (MaybeError error = server.select(selectCode, {}, rows))
        return error;
    const QString question
        = QStringLiteral("El servidor ya tiene órdenes del vendedor %1 hasta la #%2, y el último número de orden de "
                         "este equipo es %3: las órdenes nuevas llegarían al servidor con números que ya tiene.\n\n"
                         "¿Desea que la próxima orden sea la #%4? Las órdenes ya guardadas conservan sus números.")
              .arg(rows.text(0, QStringLiteral("CODIGO")), highest.text(), counter->text(), next->text());
    if (dialogs.message(question, QStringLiteral("Servidor de la empresa"), Dialogs::Question,
            Dialogs::Yes | Dialogs::No, Dialogs::Yes)
        != Dialogs::Yes)
        return std::nullopt;
    if (MaybeError error = CompanySettings::raiseLastOrder(local, highest))
        return error;
    raisedTo = highest;
    return std::nullopt;
}
