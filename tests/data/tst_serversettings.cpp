#include "data/connection.h"
#include "data/orderrenumbering.h"
#include "data/serversettings.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_ServerSettings : public QObject
{
    Q_OBJECT

private slots:
    // The catalogue stamp belongs to one company database.
    void stampKeptForTheSameCatalogueOnly_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("vendedor");
        QTest::addColumn<qint64>("stamp");
        const auto row = [](const char *name, const char *host, const char *database, const char *vendedor, int stamp) {
            QTest::newRow(name) << QString(host) << QString(database) << QString(vendedor) << qint64(stamp);
        };
        row("another salesperson's login", "srv", "empresa", "V2", 41);
        row("another database", "srv", "otra", "V1", 0);
        row("another server", "srv2", "empresa", "V1", 0);
    }

    void stampKeptForTheSameCatalogueOnly()
    {
        QFETCH(QString, host);
        QFETCH(QString, database);
        QFETCH(QString, vendedor);
        TestDatabase db;
        Connection connection(QStringLiteral("settings"));
        QVERIFY_NO_ERROR(connection.open(db.path()));
        // A setting that does not validate is written empty, and then read back as not the one asked for.
        const auto typed = [](const QString &server, const QString &name, const QString &login) {
            return ServerSettings::validate({server, {}, name, login}).value_or(ServerSettings());
        };
        QVERIFY_NO_ERROR(ServerSettings::write(connection, typed("srv", "empresa", "V1")));
        QVERIFY_NO_ERROR(ServerSettings::storeStamp(connection, 41));
        QVERIFY_NO_ERROR(ServerSettings::write(connection, typed(host, database, vendedor)));
        ServerSettings stored;
        QVERIFY_NO_ERROR(ServerSettings::read(connection, stored));
        QCOMPARE(stored.database, database);
        QTEST(stored.catalogueStamp, "stamp");
    }

    // An order waiting to be sent takes another number with its lines, and the counter follows;
    // an order already sent, a number taken or an order that is not there are refused as they are.
    void renumberedWithItsLines_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("result"); // the orders with their lines, and the counter; or the refusal
        QTest::newRow("waiting") << 5 << 21 << "1:1 7:1 21:2 | 21";
        QTest::newRow("already sent") << 1 << 21 << "ya se envió";
        QTest::newRow("a number taken") << 5 << 7 << "Ya hay una orden #7";
        QTest::newRow("no such order") << 6 << 21 << "No hay una orden #6";
    }

    void renumberedWithItsLines()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (1), (5), (7)"))
            && db.exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA) VALUES (1, 1), (5, 1), (5, "
                                      "2), (7, 1)"))
            && db.exec(QStringLiteral("INSERT INTO ENVIOS (NRO_PEDIDO, ENVIADO) VALUES (1, '2024-03-01 10:00:00')")));
        Connection connection(QStringLiteral("renumbering"));
        QVERIFY_NO_ERROR(connection.open(db.path()));
        OrderNumber next;
        QVERIFY_NO_ERROR(OrderRenumbering::nextFree(connection, OrderNumber(20), next));
        QCOMPARE(next, OrderNumber(21));
        const MaybeError error = OrderRenumbering::renumber(connection, OrderNumber(from), OrderNumber(to));
        const QString stored = db.scalar(QStringLiteral("SELECT GROUP_CONCAT(NRO_PEDIDO || ':' || N, ' ') || ' | ' || "
                                                        "(SELECT ULTIMO_PEDIDO FROM SETUP) FROM (SELECT NRO_PEDIDO, "
                                                        "COUNT(*) AS N FROM LINEAS_PEDIDOS GROUP BY 1 ORDER BY 1)"))
                                   .toString();
        QFETCH(QString, result);
        if (error)
            QVERIFY2(error->description.contains(result) && stored == "1:1 5:2 7:1 | 15", qPrintable(stored));
        else
            QCOMPARE(stored, result);
    }
};

QTEST_GUILESS_MAIN(tst_ServerSettings)
#include "tst_serversettings.moc"
