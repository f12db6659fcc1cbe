#include "server/serveraddress.h"
#include "server/servererrornumber.h"

#include <QtTest>

// A libpq URL read into the parts the driver takes, or refused with the reason the user reads.
class tst_ServerAddress : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("read"); // host|port|database|user|password|driver options|as shown, or the refusal
        const auto row = [](const char *name, const char *url, const QString &read) {
            QTest::newRow(name) << QString::fromUtf8(url) << read;
        };
        const QString plain = "connect_timeout=5;application_name='recorvan'";
        const QString bad = "La dirección del servidor no es válida: ";
        row("socket in the query", "postgresql:///recorvan?host=/run/postgresql",
            "/run/postgresql|-1|recorvan|||" + plain + "|/run/postgresql");
        row("tcp with tls", "postgresql://ana@db.example.com:5433/empresa?sslmode=require",
            "db.example.com|5433|empresa|ana||" + plain + ";sslmode='require'|db.example.com:5433");
        row("percent-encoded socket and password", "postgres://ana:p%40ss%3Aw@%2Fvar%2Frun%2Fpostgresql/db",
            "/var/run/postgresql|-1|db|ana|p@ss:w|" + plain + "|/var/run/postgresql");
        row("ipv6 and port", "postgresql://[::1]:6000/db", "::1|6000|db|||" + plain + "|[::1]:6000");
        row("query overrides, quotes escaped",
            "postgresql://h/db?user=o%27b&port=7&connect_timeout=2&application_name=caja%27s",
            "h|7|db|o'b||connect_timeout=2;application_name='caja\\'s'|h:7");
        row("other scheme", "mysql://h/db", bad + "debe empezar con postgresql://");
        row("port not a number", "postgresql://h:50x/db", bad + "«50x» no es un número de puerto.");
        row("time-out that waits for ever", "postgresql:///db?connect_timeout=0",
            bad + "connect_timeout debe ser un número de segundos entre 1 y 60.");
        row("several hosts", "postgresql://a,b/db", bad + "se admite un solo servidor.");
        row("unknown tls mode", "postgresql:///db?sslmode=always", bad + "sslmode no admite «always».");
        row("driver's separator in a value", "postgresql:///db?options=-c%20a%3D1%3Bb",
            bad + "el valor de options no puede llevar «;».");
    }

    void parse()
    {
        QFETCH(QString, url);
        ServerAddress address;
        const MaybeError error = ServerAddress::parse(url, address);
        QCOMPARE(error ? error->number : ServerErrorNumber::BadAddress, ServerErrorNumber::BadAddress);
        const QStringList parts = {address.host(), QString::number(address.port()), address.database(), address.user(),
            address.password(), address.driverOptions(), address.shownServer()};
        QTEST(error ? error->description : parts.join('|'), "read");
    }
};

QTEST_GUILESS_MAIN(tst_ServerAddress)
#include "tst_serveraddress.moc"
