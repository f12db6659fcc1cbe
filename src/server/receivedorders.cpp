#include "receivedorders.h"

#include "serverconnection.h"

namespace {

// Quoted aliases keep the names the order report reads (those of the laptop's own query), table
// prefix and case included.
const QString selectForReport = QStringLiteral(R"(SELECT P.VENDEDOR AS "VENDEDORES.CODIGO",
        V.NOMBRE AS "VENDEDORES.NOMBRE", P.NRO_PEDIDO AS "PEDIDOS.NRO_PEDIDO", P.FECHA AS "FECHA",
        P.CLIENTE AS "CLIENTE", P.DIRECCION AS "DIRECCION", P.RUC AS "RUC", P.TELEFONO AS "TELEFONO",
        P.CONTACTO AS "CONTACTO", P.EMAIL AS "EMAIL", P.FORMA_DE_ENVIO AS "FORMA_DE_ENVIO",
        P.FORMA_DE_PAGO AS "FORMA_DE_PAGO", P.OBSERVACIONES AS "OBSERVACIONES", L.NRO_LINEA AS "NRO_LINEA",
        L.COD_ART AS "LINEAS_PEDIDOS.COD_ART",
        CASE WHEN COALESCE(L.EN_CATALOGO, A.COD_ART IS NOT NULL) THEN A.DESCRIPCION ELSE ? END AS "DESCRIPCION",
        L.CANTIDAD AS "CANTIDAD", L.P_UNITARIO AS "LINEAS_PEDIDOS.P_UNITARIO", L.DETALLES AS "DETALLES"
    FROM PEDIDOS P
    JOIN VENDEDORES V ON V.CODIGO = P.VENDEDOR
    JOIN LINEAS_PEDIDOS L ON L.VENDEDOR = P.VENDEDOR AND L.NRO_PEDIDO = P.NRO_PEDIDO
    LEFT JOIN ARTICULOS A ON A.COD_ART = L.COD_ART
    WHERE P.FECHA BETWEEN ? AND ? AND (CAST(? AS TEXT) IS NULL OR upper(btrim(P.VENDEDOR)) = ?)
    ORDER BY P.VENDEDOR, P.NRO_PEDIDO, L.NRO_LINEA)");

} // namespace

MaybeError ReceivedOrders::forReport(
    ServerConnection &office, const Selection &selection, const QString &notInCatalogue, RowSet &rows)
{
    // No code: everyone's.
    const QVariant code
        = selection.salesperson.trimmed().isEmpty() ? QVariant() : selection.salesperson.trimmed().toUpper();
    return office.select(selectForReport, {notInCatalogue, selection.from, selection.to, code, code}, rows);
}
