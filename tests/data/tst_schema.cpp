#include "data/connection.h"
#include "data/schema.h"
#include "data/sentorders.h"
#include "data/serversettings.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A database as the program of format 1 made it (recorvan-db init), with an order stored.
const char *const versionOne[] = {
    "CREATE TABLE SETUP (EMPRESA TEXT, RECORVAN TEXT, ULTIMO_PEDIDO INTEGER)",
    "CREATE TABLE CLIENTES (ID INTEGER PRIMARY KEY, NOMBRE TEXT, DIRECCION TEXT, RUC TEXT, TELEFONO TEXT, "
    "CONTACTO TEXT, EMAIL TEXT)",
    "CREATE INDEX CLIENTES_NOMBRE ON CLIENTES (NOMBRE)",
    "CREATE TABLE ARTICULOS (COD_ART TEXT NOT NULL, COD_PROPIO TEXT, DESCRIPCION TEXT, STK_ACTUAL INTEGER, "
    "P_UNITARIO DOUBLE PRECISION, FECHA_ACT DATE, CONSTRAINT ARTICULOS_COD_ART UNIQUE (COD_ART))",
    "CREATE TABLE PEDIDOS (NRO_PEDIDO INTEGER NOT NULL, FECHA DATE, CLIENTE TEXT, DIRECCION TEXT, RUC TEXT, "
    "TELEFONO TEXT, CONTACTO TEXT, EMAIL TEXT, FORMA_DE_ENVIO TEXT, FORMA_DE_PAGO TEXT, OBSERVACIONES TEXT, "
    "CONSTRAINT PEDIDOS_NRO_PEDIDO UNIQUE (NRO_PEDIDO))",
    "CREATE INDEX PEDIDOS_FECHA ON PEDIDOS (FECHA)",
    "CREATE TABLE LINEAS_PEDIDOS (NRO_PEDIDO INTEGER NOT NULL, NRO_LINEA INTEGER NOT NULL, COD_ART TEXT, "
    "CANTIDAD INTEGER, P_UNITARIO DOUBLE PRECISION, DETALLES TEXT, "
    "CONSTRAINT LINEAS_PEDIDOS_LINEA UNIQUE (NRO_PEDIDO, NRO_LINEA))",
    "CREATE TABLE SCHEMA_VERSION (VERSION INTEGER NOT NULL)",
    "INSERT INTO SCHEMA_VERSION (VERSION) VALUES (1)",
    "INSERT INTO SETUP (EMPRESA, RECORVAN, ULTIMO_PEDIDO) VALUES ('Empresa', 'Vendedor', 7)",
    "INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (7, '2024-03-01', 'Cliente')",
    "INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD) VALUES (7, 1, 'A1', 2)",
};

} // namespace

// The stored format's version: numbered steps bring an older file forward, a newer one is
// refused as it is.
class tst_Schema : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_db.emplace().isValid());
        QVERIFY_NO_ERROR(m_connection.open(m_db->path()));
        QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 1")));
    }
    void cleanup() { m_connection.close(); }

    void olderFileIsBroughtForwardStepByStep()
    {
        QStringList applied;
        const QList<Schema::MigrationStep> steps = {
            {3,
                [&](Connection &c) {
                    applied << "3";
                    return c.execute(QStringLiteral("ALTER TABLE NOTAS ADD COLUMN AUTOR TEXT"));
                }},
            {2,
                [&](Connection &c) {
                    applied << "2";
                    return c.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)"));
                }},
        };
        QVERIFY_NO_ERROR(Schema::upgrade(m_connection, 3, steps));
        QCOMPARE(applied, QStringList({"2", "3"}));
        QCOMPARE(version(), 3);
        QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("INSERT INTO NOTAS (TEXTO, AUTOR) VALUES ('a', 'b')")));
        // Up to date: nothing runs again.
        QVERIFY_NO_ERROR(Schema::upgrade(m_connection, 3, steps));
        QCOMPARE(applied.size(), 2);
    }

    void failedStepLeavesTheFileAsItWas()
    {
        const QList<Schema::MigrationStep> steps = {
            {2, [](Connection &c) { return c.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)")); }},
            {3, [](Connection &c) { return c.execute(QStringLiteral("ALTER TABLE NO_EXISTE ADD COLUMN X TEXT")); }},
        };
        QVERIFY(Schema::upgrade(m_connection, 3, steps).has_value());
        QCOMPARE(version(), 1);
        QVERIFY(m_connection.execute(QStringLiteral("SELECT * FROM NOTAS")).has_value());
        // A missing step is a refusal too, never a silent jump.
        QVERIFY(Schema::upgrade(m_connection, 4, steps.mid(0, 1)).has_value());
        QCOMPARE(version(), 1);
    }

    // Format 2 adds the company server's bookkeeping to a file of format 1.
    void versionOneIsBroughtForward()
    {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(QStringLiteral("database.mdb"));
        Connection connection(QStringLiteral("upgrade"));
        QVERIFY_NO_ERROR(connection.create(path));
        for (const char *statement : versionOne)
            QVERIFY_NO_ERROR(connection.execute(QString::fromUtf8(statement)));

        QVERIFY(Schema::check(connection).has_value());
        QVERIFY_NO_ERROR(Schema::upgrade(connection));
        int version = 0;
        QVERIFY_NO_ERROR(Schema::readVersion(connection, version));
        QCOMPARE(version, Schema::version);
        QVERIFY_NO_ERROR(Schema::check(connection));

        // No server yet: the order stored before waits to be sent once there is one.
        ServerSettings settings;
        QVERIFY_NO_ERROR(ServerSettings::read(connection, settings));
        QVERIFY(!settings.isConfigured());
        std::optional<int> shown = 0;
        QVERIFY_NO_ERROR(SentOrders::unsentWhenConfigured(connection, shown));
        QVERIFY(!shown);
        QList<ServerOrder> orders;
        QVERIFY_NO_ERROR(SentOrders::unsent(connection, 0, 10, orders));
        QCOMPARE(orders.size(), 1);
        QCOMPARE(orders.first().header.value(QStringLiteral("CLIENTE")).toString(), QStringLiteral("Cliente"));
        QCOMPARE(orders.first().lines.size(), 1);
    }

    void newerFileIsRefused()
    {
        QVERIFY_NO_ERROR(
            m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = ?"), {Schema::version + 1}));
        QVERIFY_ERROR_CONTAINS(Schema::upgrade(m_connection), QStringLiteral("más nueva"));
        QCOMPARE(version(), Schema::version + 1);
    }

private:
    int version()
    {
        int stored = -1;
        return Schema::readVersion(m_connection, stored) ? -1 : stored;
    }

    std::optional<TestDatabase> m_db;
    Connection m_connection{QStringLiteral("tst-schema")};
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_schema.moc"
