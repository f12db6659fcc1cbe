#include "data/server/companyschema.h"
#include "data/server/serverconnection.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run runTool(const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(RECORVAN_DB_TOOL), args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(),
        QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class tst_ServerCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

    void initTwiceThenASalesperson()
    {
        TestCompanyDatabase database;
        QVERIFY(database.isValid());
        for (int time = 0; time < 2; ++time) {
            const Run run = runTool({QStringLiteral("server-init"), database.url()});
            QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        }
        const QByteArray password = "Contraseña con espacios";
        Run run = runTool({QStringLiteral("server-add-salesperson"), database.url(), QStringLiteral("V07"),
                              QStringLiteral("Ana Núñez")},
            password + "\n");
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QVERIFY(!run.output.contains(QString::fromUtf8(password)));
        const QString login = CompanySchema::defaultLogin(database.name(), QStringLiteral("V07"));
        QVERIFY2(run.output.contains(login), qPrintable(run.output));

        // The new login enters with that password and finds the company database.
        ServerConnection salesperson(QStringLiteral("new-login"));
        const MaybeError opened
            = salesperson.open(database.salesperson(QStringLiteral("V07"), QString::fromUtf8(password)));
        QVERIFY2(!opened, qPrintable(opened ? opened->description : QString()));
        QVERIFY(!CompanySchema::check(salesperson));

        run = runTool(
            {QStringLiteral("server-add-salesperson"), database.url(), QStringLiteral("V07"), QStringLiteral("Otra")},
            "otra\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.output.contains(QStringLiteral("ya existe")), qPrintable(run.output));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");

        QTest::newRow("bad address") << QStringList{"server-init", "http://x/db"} << QByteArray() << 2
                                     << "postgresql://";
        QTest::newRow("no password given")
            << QStringList{"server-add-salesperson", "URL", "V1", "Ana"} << QByteArray() << 1 << "Falta la contraseña";
        QTest::newRow("not a company database")
            << QStringList{"server-add-salesperson", "URL", "V1", "Ana"} << QByteArray("x\n") << 1 << "server-init";
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        TestCompanyDatabase database;
        QVERIFY(database.isValid());
        args.replaceInStrings(QStringLiteral("URL"), database.url());
        const Run run = runTool(args, input);
        QTEST(run.exitCode, "exitCode");
        QFETCH(QString, says);
        QVERIFY2(run.output.contains(says), qPrintable(run.output));
    }
};

QTEST_GUILESS_MAIN(tst_ServerCommands)
#include "tst_servercommands.moc"
