#include "countercheck.h"

#include "base/dialogs.h"
#include "base/regional.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/schema.h"
#include "serverconnection.h"

#include <limits>

namespace {

// Row-level security keeps the salesperson to its own orders.
const QString selectHighest = QStringLiteral("SELECT COALESCE(MAX(NRO_PEDIDO), 0) AS N FROM PEDIDOS");
const QString selectCode = QStringLiteral("SELECT VENDEDOR_ACTUAL() AS CODIGO");

} // namespace

MaybeError CounterCheck::highestOnServer(ServerConnection &server, qint64 &highest)
{
    RowSet rows;
    if (MaybeError error = server.select(selectHighest, {}, rows))
        return error;
    highest = rows.value(0, QStringLiteral("N")).toLongLong();
    return std::nullopt;
}

MaybeError CounterCheck::offerRaise(
    Connection &local, ServerConnection &server, Dialogs &dialogs, std::optional<qint32> &raisedTo)
{
    raisedTo.reset();
    qint64 highest = 0;
    if (MaybeError error = highestOnServer(server, highest))
        return error;
    std::optional<Schema::StoredSettings> stored;
    if (MaybeError error = Schema::readSettings(local, stored))
        return error;
    const double counter = stored ? Regional::leadingNumber(stored->ultimoPedido) : 0;
    if (!stored || counter >= double(highest) || highest >= std::numeric_limits<qint32>::max())
        return std::nullopt;
    RowSet rows;
    if (MaybeError error = server.select(selectCode, {}, rows))
        return error;
    const QString question
        = QStringLiteral("El servidor ya tiene órdenes del vendedor %1 hasta la #%2, y el último número de orden de "
                         "este equipo es %3: las órdenes nuevas llegarían al servidor con números que ya tiene.\n\n"
                         "¿Desea que la próxima orden sea la #%4? Las órdenes ya guardadas conservan sus números.")
              .arg(rows.text(0, QStringLiteral("CODIGO")))
              .arg(highest)
              .arg(Regional::plainNumber(counter))
              .arg(highest + 1);
    if (dialogs.message(question, QStringLiteral("Servidor de la empresa"), Dialogs::Question,
            Dialogs::Yes | Dialogs::No, Dialogs::Yes)
        != Dialogs::Yes)
        return std::nullopt;
    if (MaybeError error = CompanySettings::raiseLastOrder(local, qint32(highest)))
        return error;
    raisedTo = qint32(highest);
    return std::nullopt;
}
