#pragma once

#include <QList>
#include <QVariantMap>

// One confirmed order as it goes to the company server: the header's and the lines' values
// under the local column names (NRO_PEDIDO, FECHA, ...; NRO_LINEA, COD_ART, ...), so that a
// stored row passes as it was read and NULL stays NULL.
struct ServerOrder
{
    QVariantMap header;
    QList<QVariantMap> lines;
};
