#include "storedroutines.h"

#include "app/globals.h"
#include "app/regional.h"
#include "connection.h"
#include "retryframe.h"

namespace {

const QString insertPedido = QStringLiteral(
    R"(INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL, FORMA_DE_ENVIO, FORMA_DE_PAGO, OBSERVACIONES) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);)");

const QString insertLinea = QStringLiteral(
    R"(INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO, DETALLES) VALUES (?, ?, ?, ?, ?, ?);)");

const QString updateStock
    = QStringLiteral(R"(UPDATE ARTICULOS SET STK_ACTUAL = STK_ACTUAL - ?, FECHA_ACT = ? WHERE COD_ART = ?;)");

// A settings row whose company name was never filled in still counts as the company's.
const QString updateCounter
    = QStringLiteral(R"(UPDATE SETUP SET ULTIMO_PEDIDO = ULTIMO_PEDIDO + 1 WHERE COALESCE(EMPRESA, '') = ?;)");

const QString insertArticulo = QStringLiteral(
    R"(INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT) VALUES (?, ?, ?, ?, ?, ?);)");

const QString updateArticulo = QStringLiteral(
    R"(UPDATE ARTICULOS SET COD_PROPIO = ?, DESCRIPCION = ?, STK_ACTUAL = ?, P_UNITARIO = ?, FECHA_ACT = ? WHERE COD_ART = ?;)");

// Dates are stored as ISO dates; no date at all as NULL.
QVariant dateValue(QDate date)
{
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

// Text is stored as typed: an empty field is an empty text, never a missing value.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

bool executeWithRetry(const QString &sql, const QVariantList &values)
{
    return runWithRetry([&] { return acnDataBase().execute(sql, values); });
}

} // namespace

bool GraboPedido(const OrderHeader &h)
{
    return executeWithRetry(insertPedido,
        {h.nroPedido, dateValue(h.fecha), text(h.cliente), text(h.direccion), text(h.ruc), text(h.telefono),
            text(h.contacto), text(h.email), text(h.formaDeEnvio), text(h.formaDePago), text(h.observaciones)});
}

bool GraboLinea(qint32 nroPedido, qint32 nroLinea, const QString &codArt, qint32 cantidad, double pUnitario,
    const QString &detalles)
{
    return executeWithRetry(insertLinea, {nroPedido, nroLinea, text(codArt), cantidad, pUnitario, text(detalles)});
}

bool ActualizoStock(const QString &codArt, qint32 cantidad)
{
    return executeWithRetry(updateStock, {cantidad, dateValue(QDate::currentDate()), text(codArt)});
}

bool AumentoNroPedido()
{
    return runWithRetry([]() -> MaybeError {
        // Check the run's counter first, so a failure never leaves the stored one ahead of it.
        const std::optional<double> last = Regional::toNumber(strULTIMO_PEDIDO);
        if (!last)
            return DbError{DbErrorNumber::Generic,
                QStringLiteral("El último número de pedido '%1' no es un número.").arg(strULTIMO_PEDIDO)};
        int advanced = 0;
        if (MaybeError error = acnDataBase().execute(updateCounter, {text(strEMPRESA)}, &advanced))
            return error;
        if (advanced == 0)
            return DbError{DbErrorNumber::NoRowChanged,
                QStringLiteral("No se encontró la configuración de la empresa '%1': "
                               "el número de pedido no se pudo aumentar.")
                    .arg(strEMPRESA)};
        strULTIMO_PEDIDO = Regional::plainNumber(*last + 1);
        return std::nullopt;
    });
}

bool AgregoArticulo(const ArticleRecord &a)
{
    return executeWithRetry(insertArticulo,
        {text(a.codArt), text(a.codPropio), text(a.descripcion), a.stock, a.pUnitario, dateValue(a.fecha)});
}

bool ModificoArticulo(const ArticleRecord &a)
{
    return executeWithRetry(updateArticulo,
        {text(a.codPropio), text(a.descripcion), a.stock, a.pUnitario, dateValue(a.fecha), text(a.codArt)});
}
