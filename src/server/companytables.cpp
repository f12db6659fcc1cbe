#include "companytables.h"

#include "data/tables.h"

namespace {

using Type = TableDefinition::Type;
using Column = TableDefinition::Column;

Column text(const char *name, bool notNull = false, const char *references = "")
{
    return {QString::fromLatin1(name), Type::Text, notNull, false, {}, QString::fromLatin1(references)};
}

} // namespace

namespace CompanyTables {

const TableDefinition &schemaVersion()
{
    return Tables::schemaVersion();
}

// The change stamp is a sequence value a trigger gives each article written.
const TableDefinition &articulos()
{
    static const TableDefinition table = Tables::articulos().widened({},
        {{QStringLiteral("CAMBIO"), Type::BigInteger, true, false, QStringLiteral("0")}},
        {{QStringLiteral("ARTICULOS_COD_ART"), {QStringLiteral("COD_ART")}}, {},
            {{QStringLiteral("ARTICULOS_POR_CAMBIO"), {QStringLiteral("CAMBIO")}}}});
    return table;
}

const TableDefinition &vendedores()
{
    static const TableDefinition table = TableDefinition::keyed(QStringLiteral("VENDEDORES"),
        {text("CODIGO", true), text("NOMBRE", true), text("USUARIO", true)},
        TableDefinition::Keys{{QStringLiteral("VENDEDORES_CODIGO"), {QStringLiteral("CODIGO")}},
            {{QStringLiteral("VENDEDORES_USUARIO"), {QStringLiteral("USUARIO")}}}});
    return table;
}

const TableDefinition &exportaciones()
{
    static const TableDefinition table = TableDefinition::keyed(QStringLiteral("EXPORTACIONES"),
        {{QStringLiteral("ID"), Type::BigInteger, true, true},
            {QStringLiteral("HECHA"), Type::Timestamp, true, false, QStringLiteral("now()")}, text("ARCHIVO", true),
            {QStringLiteral("ORDENES"), Type::Integer, true}, {QStringLiteral("LINEAS"), Type::Integer, true}},
        TableDefinition::Keys{{QStringLiteral("EXPORTACIONES_ID"), {QStringLiteral("ID")}}});
    return table;
}

// Keyed by salesperson, where the laptop's key is its own number.
const TableDefinition &pedidos()
{
    static const TableDefinition table = Tables::pedidos().widened({text("VENDEDOR", true, "VENDEDORES (CODIGO)")},
        {{QStringLiteral("RECIBIDO"), Type::Timestamp, true, false, QStringLiteral("now()")}, text("HUELLA"),
            {QStringLiteral("EXPORTACION"), Type::BigInteger, false, false, {}, QStringLiteral("EXPORTACIONES (ID)")}},
        {{QStringLiteral("PEDIDOS_VENDEDOR_NRO"), {QStringLiteral("VENDEDOR"), QStringLiteral("NRO_PEDIDO")}}, {},
            {{QStringLiteral("PEDIDOS_SIN_EXPORTAR"), {QStringLiteral("VENDEDOR"), QStringLiteral("NRO_PEDIDO")},
                 QStringLiteral("EXPORTACION IS NULL")},
                {QStringLiteral("PEDIDOS_POR_FECHA"), {QStringLiteral("FECHA")}}}});
    return table;
}

// A line whose article the catalogue lacked when it arrived is marked (EN_CATALOGO false).
const TableDefinition &lineasPedidos()
{
    static const TableDefinition table
        = Tables::lineasPedidos().widened({text("VENDEDOR", true)}, {{QStringLiteral("EN_CATALOGO"), Type::Boolean}},
            {{QStringLiteral("LINEAS_PEDIDOS_LINEA"),
                 {QStringLiteral("VENDEDOR"), QStringLiteral("NRO_PEDIDO"), QStringLiteral("NRO_LINEA")}},
                {}, {},
                {{QStringLiteral("LINEAS_PEDIDOS_PEDIDO"), {QStringLiteral("VENDEDOR"), QStringLiteral("NRO_PEDIDO")},
                    QStringLiteral("PEDIDOS")}}});
    return table;
}

QList<const TableDefinition *> all()
{
    return {&schemaVersion(), &articulos(), &vendedores(), &exportaciones(), &pedidos(), &lineasPedidos()};
}

} // namespace CompanyTables
