#include "companyexport.h"

#include "data/dberror.h"
#include "data/transaction.h"
#include "serverconnection.h"
#include "servererrornumber.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString selectLines = QStringLiteral(R"(SELECT P.VENDEDOR, P.NRO_PEDIDO, P.FECHA, P.CLIENTE, P.DIRECCION, P.RUC,
        P.TELEFONO, P.CONTACTO, P.EMAIL, P.FORMA_DE_ENVIO, P.FORMA_DE_PAGO, P.OBSERVACIONES, P.RECIBIDO, L.NRO_LINEA,
        L.COD_ART, A.DESCRIPCION, L.CANTIDAD, L.P_UNITARIO, COALESCE(L.EN_CATALOGO, A.COD_ART IS NOT NULL) AS EN_CATALOGO
    FROM PEDIDOS P
    JOIN LINEAS_PEDIDOS L ON L.VENDEDOR = P.VENDEDOR AND L.NRO_PEDIDO = P.NRO_PEDIDO
    LEFT JOIN ARTICULOS A ON A.COD_ART = L.COD_ART
    WHERE %1
    ORDER BY P.VENDEDOR, P.NRO_PEDIDO, L.NRO_LINEA %2)");
// The orders handed out are locked until the export commits: a second export running at the
// same time waits, and then finds them handed out.
const QString notExported = QStringLiteral("P.EXPORTACION IS NULL");
const QString handingOut = QStringLiteral("FOR UPDATE OF P");
const QString allOrders = QStringLiteral("TRUE");
const QString sinceDate = QStringLiteral("P.FECHA >= ?");
const QString insertExport
    = QStringLiteral("INSERT INTO EXPORTACIONES (ARCHIVO, ORDENES, LINEAS) VALUES (?, ?, ?) RETURNING ID");
const QString markExported = QStringLiteral(R"(UPDATE PEDIDOS AS P SET EXPORTACION = ?
    FROM jsonb_to_recordset(?::JSONB) AS E (V TEXT, N INTEGER) WHERE P.VENDEDOR = E.V AND P.NRO_PEDIDO = E.N)");

const QStringList columns = {QStringLiteral("VENDEDOR"), QStringLiteral("NRO_PEDIDO"), QStringLiteral("FECHA"),
    QStringLiteral("CLIENTE"), QStringLiteral("DIRECCION"), QStringLiteral("RUC"), QStringLiteral("TELEFONO"),
    QStringLiteral("CONTACTO"), QStringLiteral("EMAIL"), QStringLiteral("FORMA_DE_ENVIO"),
    QStringLiteral("FORMA_DE_PAGO"), QStringLiteral("OBSERVACIONES"), QStringLiteral("RECIBIDO"),
    QStringLiteral("NRO_LINEA"), QStringLiteral("COD_ART"), QStringLiteral("DESCRIPCION"), QStringLiteral("CANTIDAD"),
    QStringLiteral("P_UNITARIO"), QStringLiteral("IMPORTE"), QStringLiteral("EN_CATALOGO")};

QByteArray lineOf(const QStringList &fields)
{
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

DbError notWritten(const QString &file, const QString &why)
{
    return {ServerErrorNumber::Refused,
        QStringLiteral("No se pudo escribir el archivo '%1': %2").arg(QDir::toNativeSeparators(file), why)};
}

} // namespace

const QStringList &CompanyExport::header()
{
    return columns;
}

QString CompanyExport::field(const QVariant &value)
{
    QString text;
    switch (value.typeId()) {
    case QMetaType::Double:
        // Every digit the value holds, and no more; never an exponent.
        text = QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
        break;
    case QMetaType::QDate:
        text = value.toDate().toString(Qt::ISODate);
        break;
    case QMetaType::QDateTime:
        text = value.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        break;
    case QMetaType::Bool:
        text = value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        break;
    default:
        text = value.toString();
    }
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r')))
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

MaybeError CompanyExport::run(ServerConnection &office, const Request &request, Outcome &outcome)
{
    outcome = Outcome();
    Transaction transaction(office);
    if (MaybeError error = transaction.begin())
        return error;
    RowSet rows;
    const QString condition = request.which == Which::NotExported ? notExported
        : request.which == Which::Since                           ? sinceDate
                                                                  : allOrders;
    const QVariantList values = request.which == Which::Since ? QVariantList{request.since} : QVariantList{};
    const QString locking = request.which == Which::NotExported ? handingOut : QString();
    if (MaybeError error = office.select(selectLines.arg(condition, locking), values, rows))
        return error;

    QSaveFile file(request.file);
    if (!file.open(QIODevice::WriteOnly))
        return notWritten(request.file, file.errorString());
    file.write(lineOf(columns));
    QJsonArray handedOut;
    for (int row = 0; row < rows.count(); ++row) {
        QStringList fields;
        for (const QString &column : columns) {
            if (column == QLatin1String("IMPORTE")) {
                const QVariant price = rows.value(row, QStringLiteral("P_UNITARIO"));
                const QVariant quantity = rows.value(row, QStringLiteral("CANTIDAD"));
                fields << (price.isNull() || quantity.isNull()
                        ? QString()
                        : QString::number(quantity.toDouble() * price.toDouble(), 'f', 2));
            } else {
                fields << field(rows.value(row, column));
            }
        }
        file.write(lineOf(fields));
        const QString salesperson = rows.text(row, QStringLiteral("VENDEDOR"));
        const qint64 number = rows.value(row, QStringLiteral("NRO_PEDIDO")).toLongLong();
        if (row == 0 || salesperson != rows.text(row - 1, QStringLiteral("VENDEDOR"))
            || number != rows.value(row - 1, QStringLiteral("NRO_PEDIDO")).toLongLong()) {
            ++outcome.orders;
            handedOut.append(QJsonObject{{QStringLiteral("v"), salesperson}, {QStringLiteral("n"), number}});
        }
    }
    outcome.lines = rows.count();

    if (request.which == Which::NotExported && outcome.orders > 0) {
        RowSet made;
        MaybeError error = office.select(
            insertExport, {QDir::toNativeSeparators(request.file), outcome.orders, outcome.lines}, made);
        if (!error)
            error = office.execute(markExported,
                {made.value(0, QStringLiteral("ID")),
                    QString::fromUtf8(QJsonDocument(handedOut).toJson(QJsonDocument::Compact))});
        if (error) {
            file.cancelWriting();
            return error;
        }
    }
    // The file stands whole in its place before the orders count as handed out; should the
    // commit fail after it, they are simply handed out again next time.
    if (!file.commit())
        return notWritten(request.file, file.errorString());
    if (MaybeError error = transaction.commit())
        return DbError{error->number,
            QStringLiteral("El archivo '%1' se escribió, pero el servidor no registró qué órdenes llevaba: saldrán "
                           "de nuevo en la próxima exportación. %2")
                .arg(QDir::toNativeSeparators(request.file), error->description)};
    return std::nullopt;
}
