#include "orderrenumbering.h"

#include "companysettings.h"
#include "connection.h"
#include "schema.h"
#include "tables.h"
#include "transaction.h"

namespace {

const QString &selectHighestOrder()
{
    static const QString sql = Tables::pedidos().highestStatement(QStringLiteral("NRO_PEDIDO"));
    return sql;
}

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

MaybeError countOf(Connection &connection, const QString &sql, OrderNumber number, qint64 &count)
{
    RowSet rows;
    if (MaybeError error = connection.select(sql, {number.value()}, rows))
        return error;
    count = rows.value(0, QStringLiteral("N")).toLongLong();
    return std::nullopt;
}

} // namespace

MaybeError OrderRenumbering::nextFree(Connection &connection, OrderNumber usedElsewhere, OrderNumber &number)
{
    RowSet rows;
    std::optional<Schema::StoredSettings> settings;
    if (MaybeError error = connection.select(selectHighestOrder(), {}, rows))
        return error;
    if (MaybeError error = Schema::readSettings(connection, settings))
        return error;
    auto noneFree = [](const QString &after) {
        return DbError{
            DbErrorNumber::Generic, QStringLiteral("No quedan números de orden libres después del %1.").arg(after)};
    };
    OrderNumber highest = std::max(usedElsewhere, OrderNumber());
    // What holds no order number lies beyond them all.
    for (const QString &used : {rows.text(0, QStringLiteral("N")), settings ? settings->ultimoPedido : QString()}) {
        const std::optional<OrderNumber> read = OrderNumber::read(used);
        if (!read)
            return noneFree(used.trimmed());
        highest = std::max(highest, *read);
    }
    const std::optional<OrderNumber> next = highest.next();
    if (!next)
        return noneFree(highest.text());
    number = *next;
    return std::nullopt;
}

MaybeError OrderRenumbering::renumber(Connection &connection, OrderNumber from, OrderNumber to)
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
        return DbError{DbErrorNumber::Generic, QStringLiteral("Ya hay una orden #%1 en este equipo.").arg(to.text())};
    if (exists == 0)
        return DbError{
            DbErrorNumber::NoRowChanged, QStringLiteral("No hay una orden #%1 en este equipo.").arg(from.text())};
    if (recorded > 0)
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La orden #%1 ya se envió al servidor (o se dejó sin enviar): conserva su número.")
                .arg(from.text())};
    for (const QString &sql : renumbering()) {
        if (MaybeError error = connection.execute(sql, {to.value(), from.value()}))
            return error;
    }
    if (MaybeError error = connection.execute(forgetStaleRecord(), {to.value()}))
        return error;
    if (MaybeError error = CompanySettings::raiseLastOrder(connection, to))
        return error;
    return transaction.commit();
}
