#include "data/serverorder.h"
#include "data/transaction.h"
#include "server/orderupload.h"
#include "server/serverconnection.h"
#include "server/servererrornumber.h"
#include "support/testchecks.h"
#include "support/testfiles.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// One order as a salesperson sends it; each line is code, quantity and price.
ServerOrder order(int number, const char *date, const QString &customer, const QString &remarks,
    const QList<std::tuple<const char *, int, double>> &lines)
{
    ServerOrder sent{{{"NRO_PEDIDO", number}, {"FECHA", QString::fromLatin1(date)}, {"CLIENTE", customer},
                         {"OBSERVACIONES", remarks}},
        {}};
    int line = 0;
    for (const auto &[code, quantity, price] : lines)
        sent.lines.append({{"NRO_LINEA", ++line}, {"COD_ART", QString::fromLatin1(code)}, {"CANTIDAD", quantity},
            {"P_UNITARIO", price}, {"DETALLES", QVariant()}});
    return sent;
}

// recorvan-db as the office runs it, on a machine that writes decimals with a comma.
struct Run
{
    int status = -1;
    QString output;
};

Run tool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("es_ES.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(RECORVAN_DB_TOOL), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The rows of an RFC 4180 file: fields quoted with doubled quotes, records ended by CRLF.
QList<QStringList> csvRows(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const auto next = [&text](qsizetype i) { return i + 1 < text.size() ? text.at(i + 1) : QChar(); };
    QList<QStringList> rows{QStringList()};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == QLatin1Char('"') && next(i) == QLatin1Char('"')) {
            field += c;
            ++i;
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char(',')) {
            rows.last() << field;
            field.clear();
        } else if (!quoted && c == QLatin1Char('\r') && next(i) == QLatin1Char('\n')) {
            rows.last() << field;
            field.clear();
            rows.append(QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    rows.removeLast();
    return rows;
}

const QString customerOne = QStringLiteral("O'Higgins, \"Sur\" & Cía");

} // namespace

// What the office reads from the company server with recorvan-db: the day's orders of every
// salesperson as one PDF, the export for its own system handed out once, and its salespeople.
class tst_Office : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_CLUSTER();
        m_company = std::make_unique<TestCompanyDatabase>();
        QVERIFY(m_company->isValid()
            && m_company->initialise({{QStringLiteral("V1"), QStringLiteral("clave 1")},
                {QStringLiteral("V2"), QStringLiteral("clave 2")}}));
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_company->office()));
        QVERIFY_NO_ERROR(office.execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL) "
                                                       "VALUES ('A1', 'Tornillo', 50), ('A2', 'Tuerca', 50)")));
        const QList<std::pair<QString, ServerOrder>> sent = {
            {QStringLiteral("V1"),
                order(1, "2024-03-01", customerOne, QStringLiteral("Entregar\nantes, sin falta"),
                    {{"A1", 3, 12.35}, {"ZZ9", 2, 5.5}})},
            {QStringLiteral("V1"), order(2, "2024-03-01", QStringLiteral("Ñandú S.A."), {}, {{"A2", 1, 100}})},
            {QStringLiteral("V2"), order(1, "2024-03-01", QStringLiteral("Álvarez"), {}, {{"A1", 4, 10}})},
            {QStringLiteral("V2"), order(2, "2024-03-02", QStringLiteral("Otro día"), {}, {{"A1", 1, 10}})},
        };
        for (const auto &[code, each] : sent) {
            ServerConnection salesperson(QStringLiteral("salesperson"));
            QVERIFY_NO_ERROR(salesperson.open(m_company->salesperson(code, code == "V1" ? "clave 1" : "clave 2")));
            OrderUpload::Received received;
            QVERIFY_NO_ERROR(OrderUpload::send(salesperson, each, received));
        }
        // The line of an article the catalogue lacks is kept and marked, and lowers no stock.
        RowSet rows;
        QVERIFY_NO_ERROR(office.select(QStringLiteral("SELECT (SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = "
                                                      "'A1') AS S, COUNT(*) AS N FROM LINEAS_PEDIDOS WHERE NOT "
                                                      "EN_CATALOGO AND COD_ART = 'ZZ9'"),
            {}, rows));
        QCOMPARE(rows.text(0, QStringLiteral("S")) + '/' + rows.text(0, QStringLiteral("N")), QStringLiteral("42/1"));
    }

    // Every order of the day once, each salesperson's figures and the company's as the sum of
    // what the lines print, and the line of an article the catalogue lacks printed and counted.
    void dayReport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("shown"); // what the PDF holds, or what the tool says
        QTest::newRow("everyone's day") << QStringList{"--fecha", "01/03/2024"} << 0
                                        << QStringList{"Vendedor V1", "Vendedor V2", "ZZ9", "(no está en el catálogo)",
                                               "148,05", "40,00", "188,05", "Totales por vendedor"};
        QTest::newRow("one salesperson, a range") << QStringList{"--desde", "01/03/2024", "--hasta", "02/03/2024",
            "--vendedor", "v2"} << 0 << QStringList{"Álvarez", "Otro día", "50,00"};
        QTest::newRow("an empty day") << QStringList{"--fecha", "05/03/2024"} << 2
                                      << QStringList{"No hay órdenes del 05/03/2024"};
        QTest::newRow("a date that is none")
            << QStringList{"--fecha", "31/02/2024"} << 2 << QStringList{"debe escribirse DD/MM/AAAA"};
    }

    void dayReport()
    {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QStringList, shown);
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("ordenes.pdf"));
        const Run run = tool(QStringList{QStringLiteral("server-report"), m_company->url()} + options << pdf);
        QCOMPARE(run.status, status);
        const QString text = status == 0 ? pdfText(pdf) : run.output;
        for (const QString &expected : std::as_const(shown))
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" in:\n") + text));
        QCOMPARE(QFileInfo::exists(pdf), status == 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), status == 0 ? 1 : 0);
        if (status == 0 && options.size() == 2) {
            // Each order of the day once, the other day's not at all.
            QCOMPARE(text.count(QRegularExpression(QStringLiteral("Orden #\\s*\\d"))), 3);
            QVERIFY(!text.contains(QStringLiteral("Otro día")));
        }
    }

    void unreachableServerWritesNothing()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("ordenes.pdf"));
        const Run run = tool({QStringLiteral("server-report"),
            QStringLiteral("postgresql:///%1?host=%2").arg(m_company->name(), folder.path()), QStringLiteral("--fecha"),
            QStringLiteral("01/03/2024"), pdf});
        QVERIFY2(run.status == 1 && run.output.contains(QStringLiteral("No se pudo llegar al servidor")),
            qPrintable(run.output));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // Handed out once, then not again, then everything again with --todas, which records nothing.
    void exportedOnce()
    {
        QTemporaryDir folder;
        const auto exported = [&](const QString &name, const QStringList &options = {}) {
            const Run run
                = tool(QStringList{QStringLiteral("server-export"), m_company->url(), folder.filePath(name)} + options);
            return run.status == 0 ? csvRows(contentOf(folder.filePath(name))) : QList<QStringList>{{run.output}};
        };
        const QList<QStringList> first = exported(QStringLiteral("primera.csv"));
        QCOMPARE(first.value(0).join(','),
            QStringLiteral("VENDEDOR,NRO_PEDIDO,FECHA,CLIENTE,DIRECCION,RUC,TELEFONO,CONTACTO,EMAIL,FORMA_DE_ENVIO,"
                           "FORMA_DE_PAGO,OBSERVACIONES,RECIBIDO,NRO_LINEA,COD_ART,DESCRIPCION,CANTIDAD,P_UNITARIO,"
                           "IMPORTE,EN_CATALOGO"));
        QCOMPARE(first.size(), 1 + 5);
        // Quotes, commas and a line break inside texts come back whole; figures with a point.
        const QStringList line = first.at(2);
        QCOMPARE((QStringList{line.at(0), line.at(1), line.at(2), line.at(3), line.at(11), line.at(13), line.at(14),
                     line.at(15), line.at(16), line.at(17), line.at(18), line.at(19)}),
            (QStringList{"V1", "1", "2024-03-01", customerOne, "Entregar\nantes, sin falta", "2", "ZZ9", "", "2", "5.5",
                "11.00", "0"}));
        QCOMPARE(first.at(1).mid(14, 6), (QStringList{"A1", "Tornillo", "3", "12.35", "37.05", "1"}));
        QCOMPARE(exported(QStringLiteral("segunda.csv")).size(), 1);
        QCOMPARE(exported(QStringLiteral("todas.csv"), {QStringLiteral("--todas")}).size(), 1 + 5);
        QCOMPARE(
            exported(QStringLiteral("desde.csv"), {QStringLiteral("--desde"), QStringLiteral("02/03/2024")}).size(),
            1 + 1);
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_company->office()));
        RowSet rows;
        QVERIFY_NO_ERROR(office.select(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM EXPORTACIONES) AS E, COUNT(*) AS P FROM PEDIDOS WHERE "
                           "EXPORTACION IS NOT NULL"),
            {}, rows));
        QCOMPARE(rows.text(0, QStringLiteral("E")) + '/' + rows.text(0, QStringLiteral("P")), QStringLiteral("1/4"));
    }

    // The tool killed while its file is being written: no file, nothing recorded.
    void exportCutShortLeavesNothing()
    {
        TestCompanyDatabase company;
        QVERIFY(company.isValid() && company.initialise({{QStringLiteral("V1"), QStringLiteral("clave 1")}}));
        ServerConnection salesperson(QStringLiteral("salesperson"));
        QVERIFY_NO_ERROR(salesperson.open(company.salesperson(QStringLiteral("V1"), QStringLiteral("clave 1"))));
        OrderUpload::Received received;
        QVERIFY_NO_ERROR(OrderUpload::send(salesperson, order(1, "2024-03-01", "Uno", {}, {{"A1", 1, 1}}), received));
        // The office's own transaction keeps the export from recording it, after the file is written.
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(company.office()));
        Transaction holding(office);
        QVERIFY_NO_ERROR(holding.begin());
        QVERIFY_NO_ERROR(office.execute(QStringLiteral("LOCK TABLE EXPORTACIONES IN EXCLUSIVE MODE")));
        QTemporaryDir folder;
        QProcess exporting;
        exporting.start(QStringLiteral(RECORVAN_DB_TOOL),
            {QStringLiteral("server-export"), company.url(), folder.filePath(QStringLiteral("cortada.csv"))});
        // Another connection watches: within a transaction the server's activity view stands still.
        ServerConnection watcher(QStringLiteral("watcher"));
        QVERIFY_NO_ERROR(watcher.open(company.office()));
        const auto waiting = [&] {
            RowSet rows;
            return !watcher.select(QStringLiteral("SELECT COUNT(*) AS N FROM pg_stat_activity WHERE wait_event_type = "
                                                  "'Lock' AND datname = current_database()"),
                       {}, rows)
                && rows.value(0, QStringLiteral("N")).toInt() == 1;
        };
        QVERIFY(QTest::qWaitFor(waiting, 30000));
        exporting.kill();
        QVERIFY(exporting.state() == QProcess::NotRunning || exporting.waitForFinished(10000));
        holding.rollback();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        RowSet rows;
        QVERIFY_NO_ERROR(
            office.select(QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDOS WHERE EXPORTACION IS NOT NULL"), {}, rows));
        QCOMPARE(rows.value(0, QStringLiteral("N")).toInt(), 0);
    }

    // Kept out, the login is refused with a message that says so; let in again, it connects;
    // a new password works and the old one no longer does.
    void salespeopleManaged()
    {
        const auto login = [this](const QString &password) {
            ServerConnection connection(QStringLiteral("login"));
            const MaybeError error = connection.open(m_company->salesperson(QStringLiteral("V2"), password));
            return error ? error->number : 0;
        };
        const auto listed = [this] {
            const Run run = tool({QStringLiteral("server-salespeople"), m_company->url()});
            return run.output.split('\n').filter(QStringLiteral("V2\t")).join(QString());
        };
        QCOMPARE(
            tool({QStringLiteral("server-disable-salesperson"), m_company->url(), QStringLiteral("v2")}).status, 0);
        QCOMPARE(login(QStringLiteral("clave 2")), ServerErrorNumber::LoginDisabled);
        QVERIFY2(listed().startsWith(QStringLiteral("V2\tVendedor V2\t%1_v2\tno\t2\t").arg(m_company->name())),
            qPrintable(listed()));
        QCOMPARE(tool({QStringLiteral("server-enable-salesperson"), m_company->url(), QStringLiteral("V2")}).status, 0);
        QCOMPARE(login(QStringLiteral("clave 2")), 0);
        QCOMPARE(
            tool({QStringLiteral("server-password"), m_company->url(), QStringLiteral("V2")}, "otra clave\n").status,
            0);
        QCOMPARE(login(QStringLiteral("otra clave")), 0);
        QCOMPARE(login(QStringLiteral("clave 2")), ServerErrorNumber::WrongPassword);
        QVERIFY(tool({QStringLiteral("server-disable-salesperson"), m_company->url(), QStringLiteral("V9")})
                    .output.contains(QStringLiteral("No hay un vendedor V9")));
    }

private:
    std::unique_ptr<TestCompanyDatabase> m_company;
};

QTEST_GUILESS_MAIN(tst_Office)
#include "tst_office.moc"
