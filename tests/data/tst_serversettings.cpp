#include "data/connection.h"
#include "data/schema.h"
#include "data/serversettings.h"
#include "support/testchecks.h"

#include <QDir>
#include <QTemporaryDir>
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
        QVERIFY_NO_ERROR(connection.create(QDir(folder.path()).filePath(QStringLiteral("database.mdb"))));
        QVERIFY_NO_ERROR(Schema::createWithSettings(connection, {QStringLiteral("E"), QStringLiteral("V"), 0}));

        std::optional<ServerSettings> first = ServerSettings::validate(
            {QStringLiteral("srv"), QString(), QStringLiteral("empresa"), QStringLiteral("V1"), QString(), QString()});
        QVERIFY(first);
        QVERIFY_NO_ERROR(ServerSettings::write(connection, *first));
        QVERIFY_NO_ERROR(ServerSettings::storeStamp(connection, 41));
        std::optional<ServerSettings> second
            = ServerSettings::validate({host, QString(), database, vendedor, QString(), QString()});
        QVERIFY(second);
        QVERIFY_NO_ERROR(ServerSettings::write(connection, *second));

        ServerSettings stored;
        QVERIFY_NO_ERROR(ServerSettings::read(connection, stored));
        QCOMPARE(stored.database, database);
        QTEST(stored.selloCatalogo, "stamp");
    }
};

QTEST_GUILESS_MAIN(tst_ServerSettings)
#include "tst_serversettings.moc"
