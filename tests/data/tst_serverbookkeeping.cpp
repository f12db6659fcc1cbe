#include "data/connection.h"
#include "data/schema.h"
#include "data/sentorders.h"
#include "data/serversettings.h"

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

class tst_ServerBookkeeping : public QObject
{
    Q_OBJECT

private slots:
    void versionOneIsBroughtForward()
    {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(QStringLiteral("database.mdb"));
        Connection connection(QStringLiteral("upgrade"));
        QVERIFY(!connection.create(path));
        for (const char *statement : versionOne)
            QVERIFY(!connection.execute(QString::fromUtf8(statement)));

        QVERIFY(Schema::check(connection));
        const MaybeError error = Schema::upgrade(connection);
        QVERIFY2(!error, qPrintable(error ? error->description : QString()));
        int version = 0;
        QVERIFY(!Schema::readVersion(connection, version));
        QCOMPARE(version, Schema::version);
        QVERIFY(!Schema::check(connection));

        // No server yet: the order stored before waits to be sent once there is one.
        ServerSettings settings;
        QVERIFY(!ServerSettings::read(connection, settings));
        QVERIFY(!settings.isConfigured());
        std::optional<int> shown = 0;
        QVERIFY(!SentOrders::unsentWhenConfigured(connection, shown));
        QVERIFY(!shown);
        QList<ServerOrder> orders;
        QVERIFY(!SentOrders::unsent(connection, 0, 10, orders));
        QCOMPARE(orders.size(), 1);
        QCOMPARE(orders.first().header.value(QStringLiteral("CLIENTE")).toString(), QStringLiteral("Cliente"));
        QCOMPARE(orders.first().lines.size(), 1);
    }

    // The catalogue stamp belongs to one company database.
    void stampKeptForTheSameCatalogueOnly_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("vendedor");
        QTest::addColumn<qint64>("stamp");

        QTest::newRow("another salesperson's login") << "srv"
                                                     << "empresa"
                                                     << "V2" << qint64(41);
        QTest::newRow("another database") << "srv"
                                          << "otra"
                                          << "V1" << qint64(0);
        QTest::newRow("another server") << "srv2"
                                        << "empresa"
                                        << "V1" << qint64(0);
    }

    void stampKeptForTheSameCatalogueOnly()
    {
        QFETCH(QString, host);
        QFETCH(QString, database);
        QFETCH(QString, vendedor);
        QTemporaryDir folder;
        Connection connection(QStringLiteral("settings"));
        QVERIFY(!connection.create(QDir(folder.path()).filePath(QStringLiteral("database.mdb"))));
        QVERIFY(!Schema::createWithSettings(connection, {QStringLiteral("E"), QStringLiteral("V"), 0}));

        std::optional<ServerSettings> first = ServerSettings::validate(
            {QStringLiteral("srv"), QString(), QStringLiteral("empresa"), QStringLiteral("V1"), QString(), QString()});
        QVERIFY(first);
        QVERIFY(!ServerSettings::write(connection, *first));
        QVERIFY(!ServerSettings::storeStamp(connection, 41));
        std::optional<ServerSettings> second
            = ServerSettings::validate({host, QString(), database, vendedor, QString(), QString()});
        QVERIFY(second);
        QVERIFY(!ServerSettings::write(connection, *second));

        ServerSettings stored;
        QVERIFY(!ServerSettings::read(connection, stored));
        QCOMPARE(stored.database, database);
        QTEST(stored.selloCatalogo, "stamp");
    }
};

QTEST_GUILESS_MAIN(tst_ServerBookkeeping)
#include "tst_serverbookkeeping.moc"
