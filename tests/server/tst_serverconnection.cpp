#include "data/server/serverconnection.h"
#include "data/server/servererrornumber.h"
#include "fakeserver.h"
#include "testcluster.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

// Where a row connects.
constexpr int toCluster = 0;
constexpr int toEmptyFolder = 1;
constexpr int toSilentPort = 2;
constexpr int toPortWithoutTls = 3;

} // namespace

class tst_ServerConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

    void failureNamesItsCause_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("says");

        const QString office = TestCluster::current().office();
        QTest::newRow("no server") << "postgres" << office << "" << toEmptyFolder << ServerErrorNumber::NoServer
                                   << "no hay un servidor en esa dirección";
        QTest::newRow("wrong password") << "postgres" << office << "Clave-Ñ'9" << toCluster
                                        << ServerErrorNumber::WrongPassword << "la contraseña es incorrecta";
        QTest::newRow("no password") << "postgres"
                                     << "nadie"
                                     << "" << toCluster << ServerErrorNumber::PasswordNeeded
                                     << "pide la contraseña del usuario nadie";
        QTest::newRow("database missing") << "no_hay" << office << "" << toCluster << ServerErrorNumber::NoDatabase
                                          << "No existe la base de datos no_hay";
        QTest::newRow("time-out") << "postgres" << office << "Clave-Ñ'9" << toSilentPort << ServerErrorNumber::TimedOut
                                  << "no respondió en 2 segundos";
        QTest::newRow("tls refused") << "postgres" << office << "Clave-Ñ'9" << toPortWithoutTls
                                     << ServerErrorNumber::Tls << "conexión cifrada (TLS)";
    }

    void failureNamesItsCause()
    {
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, where);
        QFETCH(int, number);
        QFETCH(QString, says);

        QTemporaryDir emptyFolder;
        std::optional<FakeServer> server;
        QString url = TestCluster::current().url(database, user);
        if (where == toEmptyFolder)
            url = QStringLiteral("postgresql:///%1?host=%2&user=%3").arg(database, emptyFolder.path(), user);
        if (where == toSilentPort || where == toPortWithoutTls) {
            server.emplace(where == toSilentPort ? FakeServer::Kind::Silent : FakeServer::Kind::NoTls);
            QVERIFY(server->port() > 0);
            url = QStringLiteral("postgresql://%1@127.0.0.1:%2/%3?connect_timeout=2%4")
                      .arg(user)
                      .arg(server->port())
                      .arg(database, where == toPortWithoutTls ? QStringLiteral("&sslmode=require") : QString());
        }
        ServerAddress address;
        QVERIFY(!ServerAddress::parse(url, address));
        address.setPassword(password);

        ServerConnection connection(QStringLiteral("failing"));
        QElapsedTimer clock;
        clock.start();
        const MaybeError error = connection.open(address);
        QVERIFY(error);
        QCOMPARE(error->number, number);
        QVERIFY2(error->description.contains(says), qPrintable(error->description));
        QVERIFY(password.isEmpty() || !error->description.contains(password));
        QVERIFY(!connection.isOpen());
        // Connecting gives up: one time-out at most, plus the look at the cause.
        QVERIFY2(clock.elapsed() < (address.connectTimeout() + 3) * 1000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(tst_ServerConnection)
#include "tst_serverconnection.moc"
