#include "orderupload.h"

#include "data/serverorder.h"
#include "serverconnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString receiveOrder = QStringLiteral(R"(SELECT RECIBIR_PEDIDO(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) AS NUEVO)");

const char *const headerColumns[] = {"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO",
    "EMAIL", "FORMA_DE_ENVIO", "FORMA_DE_PAGO", "OBSERVACIONES"};
const char *const lineColumns[] = {"NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO", "DETALLES"};

// The lines travel as one JSON value, so that an order is a single statement; the keys are
// the server's column names as it folds them.
QString linesJson(const QList<QVariantMap> &lines)
{
    QJsonArray array;
    for (const QVariantMap &line : lines) {
        QJsonObject object;
        for (const char *column : lineColumns) {
            const QString name = QString::fromLatin1(column);
            object.insert(name.toLower(), QJsonValue::fromVariant(line.value(name)));
        }
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

} // namespace

MaybeError OrderUpload::send(ServerConnection &connection, const ServerOrder &order, Outcome &outcome)
{
    QVariantList values;
    for (const char *column : headerColumns)
        values.append(order.header.value(QString::fromLatin1(column)));
    values.append(linesJson(order.lines));
    RowSet rows;
    if (MaybeError error = connection.select(receiveOrder, values, rows))
        return error;
    outcome = rows.value(0, QStringLiteral("NUEVO")).toBool() ? Outcome::Stored : Outcome::AlreadyThere;
    return std::nullopt;
}
