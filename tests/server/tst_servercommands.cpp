#include "data/server/companyschema.h"
#include "data/server/serverconnection.h"
#include "support/testchecks.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run runTool(const QStringList &args, const QByteArray &input = {},
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
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

    // The office loads the list by the program's import rules; loading it again changes nothing,
    // so that no laptop brings the catalogue down again.
    void loadTheListTwice()
    {
        TestCompanyDatabase database;
        QVERIFY(database.isValid());
        QVERIFY(database.initialise());
        QTemporaryDir folder;
        QFile list(folder.filePath(QStringLiteral("entrada.dat")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("\"A1\",\"F1\",\"Tornillo\",10,\"2,50\",20/08/2004\r\n"
                   "\"A2\",\"F2\",\"Tuerca\",5,\"abc\",20/08/2004\r\n"
                   "\"A1\",\"F1\",\"Tornillo largo\",12,\"1.003,75\",21/08/2004\r\n"
                   "\"A3\",\"F3\",\"Arandela\",7\r\n");
        list.close();
        // The office's machine writes decimals with a comma and dates day first.
        QProcessEnvironment spanish = QProcessEnvironment::systemEnvironment();
        spanish.insert(QStringLiteral("LC_ALL"), QStringLiteral("es_ES.UTF-8"));

        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(database.office()));
        RowSet stamp;
        for (const int changed : {1, 0}) {
            const Run run = runTool({QStringLiteral("server-load"), database.url(), list.fileName()}, {}, spanish);
            QCOMPARE(run.exitCode, 3);
            for (const QString &told : {QStringLiteral("No se importaron 2 registros"),
                     QStringLiteral("Línea 2: el precio «abc» no es un número"),
                     QStringLiteral("Línea 4: el archivo termina en medio del registro"),
                     QStringLiteral("nuevos o cambiados en el catálogo de la empresa: %1.").arg(changed)})
                QVERIFY2(run.output.contains(told), qPrintable(run.output));
            RowSet rows;
            QVERIFY_NO_ERROR(
                office.select(QStringLiteral("SELECT COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT, "
                                             "CAMBIO FROM ARTICULOS"),
                    {}, rows));
            QCOMPARE(rows.count(), 1);
            QCOMPARE(rows.text(0, QStringLiteral("DESCRIPCION")), QStringLiteral("Tornillo largo"));
            QCOMPARE(rows.value(0, QStringLiteral("STK_ACTUAL")).toInt(), 12);
            QCOMPARE(rows.value(0, QStringLiteral("P_UNITARIO")).toDouble(), 1003.75);
            QCOMPARE(rows.value(0, QStringLiteral("FECHA_ACT")).toDate(), QDate(2004, 8, 21));
            if (changed == 0)
                QCOMPARE(rows.value(0, QStringLiteral("CAMBIO")), stamp.value(0, QStringLiteral("CAMBIO")));
            stamp = rows;
        }
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
