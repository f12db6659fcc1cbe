#include "orderrenumbering.h"

#include "companysettings.h"
#include "connection.h"
#include "tables.h"
#include "transaction.h"

#include <limits>

namespace {

// The highest number used: the stored orders' and the counter's.
const QString selectHighestUsed = QStringLiteral(R"(SELECT MAX(N) AS N FROM (SELECT MAX(NRO_PEDIDO) AS N FROM PEDIDOS
    UNION ALL SELECT CAST(ULTIMO_PEDIDO AS INTEGER) FROM SETUP WHERE rowid = (SELECT MIN(rowid) FROM SETUP)))");

const QString &countOrders()
{
    static const QString sql = Tables::pedidos().countStatement({QStringLiteral("NRO_PEDIDO")});
    return sql;
}

const QString &countRecorded()
{
    static const QString sql = Tables::envios().countStatement({QStringLiteral("NRO_PEDIDO")});
    return sql;
}

// The order's number and its lines' move together.
QStringList renumbering()
{
    return {Tables::pedidos().updateStatement({QStringLiteral("NRO_PEDIDO")}, {QStringLiteral("NRO_PEDIDO")}),
        Tables::lineasPedidos().updateStatement({QStringLiteral("NRO_PEDIDO")}, {QStringLiteral("NRO_PEDIDO")})};
}

// A row left under the new number by an order deleted long ago would hide this one from the server.
const QString &forgetStaleRecord()
{
    static const QString sql = Tables::envios().deleteStatement({QStringLiteral("NRO_PEDIDO")});
    return sql;
}

MaybeError countOf(Connection &connection, const QString &sql, qint64 number, qint64 &count)
{
    RowSet rows;
    if (MaybeError error = connection.select(sql, {number}, rows))
        return error;
    count = rows.value(0, QStringLiteral("N")).toLongLong();
    return std::nullopt;
}

} // namespace

MaybeError OrderRenumbering::nextFree(Connection &connection, qint64 usedElsewhere, qint32 &number)
{
    RowSet rows;
    if (MaybeError error = connection.select(selectHighestUsed, {}, rows))
        return error;
    const qint64 highest = qMax(rows.value(0, QStringLiteral("N")).toLongLong(), usedElsewhere);
    if (highest >= std::numeric_limits<qint32>::max())
        return DbError{
            DbErrorNumber::Generic, QStringLiteral("No quedan números de orden libres después del %1.").arg(highest)};
    number = qint32(qMax<qint64>(highest, 0) + 1);
    return std::nullopt;
}

MaybeError OrderRenumbering::renumber(Connection &connection, qint64 from, qint32 to)
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    qint64 taken = 0;
    qint64 exists = 0;
    qint64 recorded = 0;
    if (MaybeError error = countOf(connection, countOrders(), to, taken))
        return error;
    if (MaybeError error = countOf(connection, countOrders(), from, exists))
        return error;
    if (MaybeError error = countOf(connection, countRecorded(), from, recorded))
        return error;
    if (taken > 0)
        return DbError{DbErrorNumber::Generic, QStringLiteral("Ya hay una orden #%1 en este equipo.").arg(to)};
    if (exists == 0)
        return DbError{DbErrorNumber::NoRowChanged, QStringLiteral("No hay una orden #%1 en este equipo.").arg(from)};
    if (recorded > 0)
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La orden #%1 ya se envió al servidor (o se dejó sin enviar): conserva su número.")
                .arg(from)};
    for (const QString &sql : renumbering()) {
        if (MaybeError error = connection.execute(sql, {to, from}))
            return error;
    }
    if (MaybeError error = connection.execute(forgetStaleRecord(), {to}))
        return error;
    if (MaybeError error = CompanySettings::raiseLastOrder(connection, to))
        return error;
    return transaction.commit();
}
