#include "data/connection.h"
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
        QTEST(stored.selloCatalogo, "stamp");
    }
};

QTEST_GUILESS_MAIN(tst_ServerSettings)
#include "tst_serversettings.moc"
