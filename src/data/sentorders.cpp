#include "sentorders.h"

#include "connection.h"
#include "serversettings.h"
#include "tables.h"
#include "transaction.h"

#include <QHash>

#include <limits>

namespace {

const QString countUnsent
    = QStringLiteral(R"(SELECT COUNT(*) AS N FROM PEDIDOS WHERE NRO_PEDIDO NOT IN (SELECT NRO_PEDIDO FROM ENVIOS))");

const QString &selectUnsent()
{
    static const QString sql = QStringLiteral("SELECT %1 FROM PEDIDOS WHERE NRO_PEDIDO > ? AND NRO_PEDIDO NOT IN "
                                              "(SELECT NRO_PEDIDO FROM ENVIOS) ORDER BY NRO_PEDIDO LIMIT ?")
                                   .arg(Tables::pedidos().columnNames().join(QStringLiteral(", ")));
    return sql;
}

const QString &selectLines()
{
    static const QString sql = QStringLiteral(
        "SELECT %1 FROM LINEAS_PEDIDOS WHERE NRO_PEDIDO BETWEEN ? AND ? ORDER BY NRO_PEDIDO, NRO_LINEA")
                                   .arg(Tables::lineasPedidos().columnNames().join(QStringLiteral(", ")));
    return sql;
}

const QString &insertSent()
{
    static const QString sql = Tables::envios()
                                   .insertStatement({QStringLiteral("NRO_PEDIDO"), QStringLiteral("ENVIADO")})
                                   .replace(QStringLiteral("INSERT INTO"), QStringLiteral("INSERT OR IGNORE INTO"));
    return sql;
}

const QString setAside = QStringLiteral(
    R"(INSERT INTO ENVIOS (NRO_PEDIDO, ENVIADO, OMITIDA) SELECT NRO_PEDIDO, ?, 1 FROM PEDIDOS WHERE NRO_PEDIDO NOT IN
        (SELECT NRO_PEDIDO FROM ENVIOS))");

// A row under the table definition's column names, which the statement selects in their order.
QVariantMap rowOf(const Row &read, const QStringList &columns)
{
    QVariantMap row;
    for (qsizetype i = 0; i < columns.size(); ++i)
        row.insert(columns.at(i), read.value(int(i)));
    return row;
}

} // namespace

MaybeError SentOrders::unsentCount(Connection &connection, int &count)
{
    RowSet rows;
    if (MaybeError error = connection.select(countUnsent, {}, rows))
        return error;
    count = rows.value(0, QStringLiteral("N")).toInt();
    return std::nullopt;
}

MaybeError SentOrders::unsentWhenConfigured(Connection &connection, std::optional<int> &count)
{
    count.reset();
    ServerSettings settings;
    if (MaybeError error = ServerSettings::read(connection, settings))
        return error;
    if (!settings.isConfigured())
        return std::nullopt;
    int unsent = 0;
    if (MaybeError error = unsentCount(connection, unsent))
        return error;
    count = unsent;
    return std::nullopt;
}

MaybeError SentOrders::unsent(
    Connection &connection, std::optional<OrderNumber> after, int limit, QList<ServerOrder> &orders)
{
    orders.clear();
    QHash<qint64, qsizetype> byNumber;
    const QStringList headerColumns = Tables::pedidos().columnNames();
    const QStringList lineColumns = Tables::lineasPedidos().columnNames();
    const qint64 above = after ? after->value() : std::numeric_limits<qint64>::min();
    if (MaybeError error = connection.forEachRow(selectUnsent(), {above, limit}, [&](const Row &read) {
            ServerOrder order;
            order.header = rowOf(read, headerColumns);
            byNumber.insert(order.header.value(QStringLiteral("NRO_PEDIDO")).toLongLong(), orders.size());
            orders.append(order);
        }))
        return error;
    if (orders.isEmpty())
        return std::nullopt;
    const QVariant first = orders.first().header.value(QStringLiteral("NRO_PEDIDO"));
    const QVariant last = orders.last().header.value(QStringLiteral("NRO_PEDIDO"));
    // Lines of orders sent before, which lie between these, are read and passed over.
    return connection.forEachRow(selectLines(), {first, last}, [&](const Row &read) {
        const auto at = byNumber.constFind(read.value(0).toLongLong());
        if (at != byNumber.constEnd())
            orders[*at].lines.append(rowOf(read, lineColumns));
    });
}

MaybeError SentOrders::markSent(Connection &connection, const QList<OrderNumber> &numbers, const QDateTime &when)
{
    if (numbers.isEmpty())
        return std::nullopt;
    const QString time = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    for (const OrderNumber number : numbers) {
        if (MaybeError error = connection.execute(insertSent(), {number.value(), time}))
            return error;
    }
    return transaction.commit();
}

MaybeError SentOrders::setAsideUnsent(Connection &connection, const QDateTime &when)
{
    return connection.execute(setAside, {when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
}
