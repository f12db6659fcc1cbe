#include "orderupload.h"

#include "data/serverorder.h"
#include "orderfingerprint.h"
#include "serverconnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString receiveOrder = QStringLiteral(R"(SELECT R_RESULTADO, R_VENDEDOR, R_CLIENTE, R_FECHA
    FROM RECIBIR_PEDIDO(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))");

// The lines travel as one JSON value, so that an order is a single statement; the keys are
// the server's column names as it folds them. NULL goes as the driver would bind it.
QString linesJson(const QList<QVariantMap> &lines)
{
    QJsonArray array;
    for (const QVariantMap &line : lines) {
        QJsonObject object;
        for (const QString &name : OrderFingerprint::lineColumns()) {
            const QVariant value = line.value(name);
            object.insert(name.toLower(),
                OrderFingerprint::isNull(value) ? QJsonValue(QJsonValue::Null) : QJsonValue::fromVariant(value));
        }
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

} // namespace

MaybeError OrderUpload::send(ServerConnection &connection, const ServerOrder &order, Received &received)
{
    QVariantList values;
    for (const QString &column : OrderFingerprint::headerColumns())
        values.append(order.header.value(column));
    values.append(linesJson(order.lines));
    values.append(OrderFingerprint::of(order));
    RowSet rows;
    if (MaybeError error = connection.select(receiveOrder, values, rows))
        return error;
    const QString outcome = rows.text(0, QStringLiteral("r_resultado"));
    received = Received();
    if (outcome == QLatin1String("YA_ESTABA")) {
        received.outcome = Outcome::AlreadyThere;
    } else if (outcome == QLatin1String("OTRA")) {
        received.outcome = Outcome::Conflict;
        received.salesperson = rows.text(0, QStringLiteral("r_vendedor"));
        received.customer = rows.text(0, QStringLiteral("r_cliente"));
        received.date = rows.value(0, QStringLiteral("r_fecha")).toDate();
    }
    return std::nullopt;
}
