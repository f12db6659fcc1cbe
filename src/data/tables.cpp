#include "tables.h"

namespace {

using Type = TableDefinition::Type;
using Column = TableDefinition::Column;

Column text(const char *name, bool notNull = false)
{
    return {QString::fromLatin1(name), Type::Text, notNull};
}

Column integer(const char *name, bool notNull = false)
{
    return {QString::fromLatin1(name), Type::Integer, notNull};
}

Column real(const char *name)
{
    return {QString::fromLatin1(name), Type::Double};
}

Column date(const char *name)
{
    return {QString::fromLatin1(name), Type::Date};
}

} // namespace

namespace Tables {

const TableDefinition &setup()
{
    static const TableDefinition table(
        QStringLiteral("SETUP"), {text("EMPRESA"), text("RECORVAN"), integer("ULTIMO_PEDIDO")});
    return table;
}

const TableDefinition &clientes()
{
    static const TableDefinition table(QStringLiteral("CLIENTES"),
        {{QStringLiteral("ID"), Type::Integer, false, true}, text("NOMBRE"), text("DIRECCION"), text("RUC"),
            text("TELEFONO"), text("CONTACTO"), text("EMAIL")},
        {}, {{QStringLiteral("CLIENTES_NOMBRE"), {QStringLiteral("NOMBRE")}}});
    return table;
}

const TableDefinition &articulos()
{
    static const TableDefinition table(QStringLiteral("ARTICULOS"),
        {text("COD_ART", true), text("COD_PROPIO"), text("DESCRIPCION"), integer("STK_ACTUAL"), real("P_UNITARIO"),
            date("FECHA_ACT")},
        {{QStringLiteral("ARTICULOS_COD_ART"), {QStringLiteral("COD_ART")}}});
    return table;
}

const TableDefinition &pedidos()
{
    static const TableDefinition table(QStringLiteral("PEDIDOS"),
        {integer("NRO_PEDIDO", true), date("FECHA"), text("CLIENTE"), text("DIRECCION"), text("RUC"), text("TELEFONO"),
            text("CONTACTO"), text("EMAIL"), text("FORMA_DE_ENVIO"), text("FORMA_DE_PAGO"), text("OBSERVACIONES")},
        {{QStringLiteral("PEDIDOS_NRO_PEDIDO"), {QStringLiteral("NRO_PEDIDO")}}},
        {{QStringLiteral("PEDIDOS_FECHA"), {QStringLiteral("FECHA")}}});
    return table;
}

const TableDefinition &lineasPedidos()
{
    static const TableDefinition table(QStringLiteral("LINEAS_PEDIDOS"),
        {integer("NRO_PEDIDO", true), integer("NRO_LINEA", true), text("COD_ART"), integer("CANTIDAD"),
            real("P_UNITARIO"), text("DETALLES")},
        {{QStringLiteral("LINEAS_PEDIDOS_LINEA"), {QStringLiteral("NRO_PEDIDO"), QStringLiteral("NRO_LINEA")}}});
    return table;
}

const TableDefinition &schemaVersion()
{
    static const TableDefinition table(QStringLiteral("SCHEMA_VERSION"), {integer("VERSION", true)});
    return table;
}

// No password column: the password stays in libpq's password file or in the run's memory.
const TableDefinition &servidor()
{
    static const TableDefinition table(QStringLiteral("SERVIDOR"),
        {text("HOST"), integer("PUERTO"), text("BASE_DE_DATOS"), text("VENDEDOR"), text("USUARIO"), text("MODO_TLS"),
            integer("SELLO_CATALOGO")});
    return table;
}

// The orders the server committed, and those stored before this laptop had a server that are not
// to be sent (OMITIDA = 1; ENVIADO is then when that was decided).
const TableDefinition &envios()
{
    static const TableDefinition table(QStringLiteral("ENVIOS"),
        {integer("NRO_PEDIDO", true), text("ENVIADO", true), integer("OMITIDA")},
        {{QStringLiteral("ENVIOS_NRO_PEDIDO"), {QStringLiteral("NRO_PEDIDO")}}});
    return table;
}

const TableDefinition &formatoLista()
{
    static const TableDefinition table(QStringLiteral("FORMATO_LISTA"), {text("FORMATO", true)});
    return table;
}

const TableDefinition &apartados()
{
    static const TableDefinition table(QStringLiteral("APARTADOS"),
        {{QStringLiteral("ID"), Type::Integer, false, true}, text("TABLA", true), integer("FILA_ORIGEN", true),
            text("MOTIVO", true), text("DATOS", true)});
    return table;
}

const TableDefinition &conversion()
{
    static const TableDefinition table(
        QStringLiteral("CONVERSION"), {text("FECHA", true), text("ORIGEN"), text("INFORME", true)});
    return table;
}

QList<const TableDefinition *> all()
{
    return {&setup(), &clientes(), &articulos(), &pedidos(), &lineasPedidos(), &schemaVersion(), &servidor(), &envios(),
        &formatoLista()};
}

} // namespace Tables
