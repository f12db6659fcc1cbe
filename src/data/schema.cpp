#include "schema.h"

#include "connection.h"
#include "transaction.h"

#include <QStringList>

namespace {

const char *const createStatements[] = {
    R"(CREATE TABLE SETUP (
        EMPRESA TEXT,
        RECORVAN TEXT,
        ULTIMO_PEDIDO INTEGER))",
    R"(CREATE TABLE CLIENTES (
        ID INTEGER PRIMARY KEY,
        NOMBRE TEXT,
        DIRECCION TEXT,
        RUC TEXT,
        TELEFONO TEXT,
        CONTACTO TEXT,
        EMAIL TEXT))",
    R"(CREATE INDEX CLIENTES_NOMBRE ON CLIENTES (NOMBRE))",
    R"(CREATE TABLE ARTICULOS (
        COD_ART TEXT NOT NULL,
        COD_PROPIO TEXT,
        DESCRIPCION TEXT,
        STK_ACTUAL INTEGER,
        P_UNITARIO DOUBLE PRECISION,
        FECHA_ACT DATE,
        CONSTRAINT ARTICULOS_COD_ART UNIQUE (COD_ART)))",
    R"(CREATE TABLE PEDIDOS (
        NRO_PEDIDO INTEGER NOT NULL,
        FECHA DATE,
        CLIENTE TEXT,
        DIRECCION TEXT,
        RUC TEXT,
        TELEFONO TEXT,
        CONTACTO TEXT,
        EMAIL TEXT,
        FORMA_DE_ENVIO TEXT,
        FORMA_DE_PAGO TEXT,
        OBSERVACIONES TEXT,
        CONSTRAINT PEDIDOS_NRO_PEDIDO UNIQUE (NRO_PEDIDO)))",
    R"(CREATE INDEX PEDIDOS_FECHA ON PEDIDOS (FECHA))",
    R"(CREATE TABLE LINEAS_PEDIDOS (
        NRO_PEDIDO INTEGER NOT NULL,
        NRO_LINEA INTEGER NOT NULL,
        COD_ART TEXT,
        CANTIDAD INTEGER,
        P_UNITARIO DOUBLE PRECISION,
        DETALLES TEXT,
        CONSTRAINT LINEAS_PEDIDOS_LINEA UNIQUE (NRO_PEDIDO, NRO_LINEA)))",
    R"(CREATE TABLE SCHEMA_VERSION (VERSION INTEGER NOT NULL))",
};

struct TableColumns
{
    const char *table;
    QStringList columns;
};

const TableColumns requiredColumns[] = {
    {"SETUP", {"EMPRESA", "RECORVAN", "ULTIMO_PEDIDO"}},
    {"CLIENTES", {"NOMBRE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"}},
    {"ARTICULOS", {"COD_ART", "COD_PROPIO", "DESCRIPCION", "STK_ACTUAL", "P_UNITARIO", "FECHA_ACT"}},
    {"PEDIDOS",
        {"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL", "FORMA_DE_ENVIO",
            "FORMA_DE_PAGO", "OBSERVACIONES"}},
    {"LINEAS_PEDIDOS", {"NRO_PEDIDO", "NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO", "DETALLES"}},
};

} // namespace

MaybeError Schema::create(Connection &connection)
{
    for (const char *statement : createStatements) {
        if (MaybeError error = connection.execute(QString::fromUtf8(statement)))
            return error;
    }
    return connection.execute(QStringLiteral("INSERT INTO SCHEMA_VERSION (VERSION) VALUES (?)"), {version});
}

MaybeError Schema::createWithSettings(Connection &connection, const Settings &settings)
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    if (MaybeError error = create(connection))
        return error;
    if (MaybeError error
        = connection.execute(QStringLiteral("INSERT INTO SETUP (EMPRESA, RECORVAN, ULTIMO_PEDIDO) VALUES (?, ?, ?)"),
            {settings.empresa, settings.vendedor, settings.ultimoPedido}))
        return error;
    return transaction.commit();
}

MaybeError Schema::check(Connection &connection)
{
    for (const TableColumns &required : requiredColumns) {
        RowSet columns;
        // Table names cannot be bound; these are the fixed names above, never user text.
        if (MaybeError error = connection.select(QStringLiteral("SELECT name FROM pragma_table_info(?)"),
                {QString::fromLatin1(required.table)}, columns))
            return error;
        if (columns.count() == 0)
            return DbError{DbErrorNumber::Generic,
                QStringLiteral("Falta la tabla %1 en la base de datos.").arg(QString::fromLatin1(required.table))};
        QStringList present;
        for (int row = 0; row < columns.count(); ++row)
            present.append(columns.text(row, QStringLiteral("name")).toUpper());
        for (const QString &column : required.columns) {
            if (!present.contains(column))
                return DbError{DbErrorNumber::Generic,
                    QStringLiteral("Falta la columna %1 en la tabla %2.")
                        .arg(column, QString::fromLatin1(required.table))};
        }
    }
    return std::nullopt;
}
