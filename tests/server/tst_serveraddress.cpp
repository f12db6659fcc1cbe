#include "data/server/serveraddress.h"
#include "data/server/servererrornumber.h"

#include <QtTest>

class tst_ServerAddress : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("shown");

        const QString plain = QStringLiteral("connect_timeout=5;application_name='recorvan'");
        QTest::newRow("socket in the query") << "postgresql:///recorvan?host=/run/postgresql"
                                             << "/run/postgresql" << -1 << "recorvan"
                                             << ""
                                             << "" << plain << "/run/postgresql";
        QTest::newRow("tcp with tls") << "postgresql://ana@db.example.com:5433/empresa?sslmode=require"
                                      << "db.example.com" << 5433 << "empresa"
                                      << "ana"
                                      << "" << plain + ";sslmode='require'"
                                      << "db.example.com:5433";
        QTest::newRow("percent-encoded socket and password") << "postgres://ana:p%40ss%3Aw@%2Fvar%2Frun%2Fpostgresql/db"
                                                             << "/var/run/postgresql" << -1 << "db"
                                                             << "ana"
                                                             << "p@ss:w" << plain << "/var/run/postgresql";
        QTest::newRow("ipv6 and port") << "postgresql://[::1]:6000/db"
                                       << "::1" << 6000 << "db"
                                       << ""
                                       << "" << plain << "[::1]:6000";
        QTest::newRow("query overrides, quotes escaped")
            << "postgresql://h/db?user=o%27b&port=7&connect_timeout=2&application_name=caja%27s"
            << "h" << 7 << "db"
            << "o'b"
            << ""
            << "connect_timeout=2;application_name='caja\\'s'"
            << "h:7";
        QTest::newRow("all defaults") << "postgresql://"
                                      << "" << -1 << ""
                                      << ""
                                      << "" << plain << "local";
    }

    void parse()
    {
        QFETCH(QString, url);
        ServerAddress address;
        const MaybeError error = ServerAddress::parse(url, address);
        QVERIFY2(!error, qPrintable(error ? error->description : QString()));
        QTEST(address.host(), "host");
        QTEST(address.port(), "port");
        QTEST(address.database(), "database");
        QTEST(address.user(), "user");
        QTEST(address.password(), "password");
        QTEST(address.driverOptions(), "options");
        QTEST(address.shownServer(), "shown");
    }

    void refused_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("says");

        QTest::newRow("other scheme") << "mysql://h/db"
                                      << "postgresql://";
        QTest::newRow("port not a number") << "postgresql://h:50x/db"
                                           << "«50x»";
        QTest::newRow("time-out that waits for ever") << "postgresql:///db?connect_timeout=0"
                                                      << "connect_timeout";
        QTest::newRow("several hosts") << "postgresql://a,b/db"
                                       << "un solo servidor";
        QTest::newRow("unknown ssl mode") << "postgresql:///db?sslmode=always"
                                          << "«always»";
        QTest::newRow("separator in a value") << "postgresql:///db?options=-c%20a%3D1%3Bb"
                                              << "«;»";
    }

    void refused()
    {
        QFETCH(QString, url);
        QFETCH(QString, says);
        ServerAddress address;
        const MaybeError error = ServerAddress::parse(url, address);
        QVERIFY(error);
        QCOMPARE(error->number, ServerErrorNumber::BadAddress);
        QVERIFY2(error->description.contains(says), qPrintable(error->description));
    }
};

QTEST_GUILESS_MAIN(tst_ServerAddress)
#include "tst_serveraddress.moc"
