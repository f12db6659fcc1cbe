#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "report/rptorden.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

class tst_rptOrden : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        m_store.emplace(OrderFixture{*m_db});
        QVERIFY(m_store->article("A1", "Tornillo"));
    }
    void cleanup() { strConexion.clear(); }

    void oneOrderOfThreeLines_data();
    void oneOrderOfThreeLines();
    void runningFootersOverSeveralPages();
    void selectsByNumberOrDate_data();
    void selectsByNumberOrDate();
    void ordersAndLinesAscendAndTwoRunsAgree();
    void wideFiguresShrinkLongTextsAreCut();
    void failuresAreReported();
    void orderCountGoesBeyond16Bits();
    void runKeepsTheStoresLock();

private:
    static QStringList allTexts(const rptOrden &report, const QString &item);

    std::optional<TestDatabase> m_db;
    std::optional<OrderFixture> m_store;
};

QStringList tst_rptOrden::allTexts(const rptOrden &report, const QString &item)
{
    QStringList texts;
    for (int page = 0; page < report.document().pageCount(); ++page)
        texts += report.document().texts(page, item);
    return texts;
}

void tst_rptOrden::oneOrderOfThreeLines_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("total");
    QTest::newRow("comma, day first") << true << QString("20/08/2004") << QString("0,50") << QString("1,50");
    QTest::newRow("point, month first") << false << QString("08/20/2004") << QString("0.50") << QString("1.50");
}

void tst_rptOrden::oneOrderOfThreeLines()
{
    QFETCH(bool, comma);
    QFETCH(QString, date);
    QFETCH(QString, amount);
    QFETCH(QString, total);
    Regional::setCurrent(comma ? Regional::commaDayFirst() : Regional::pointMonthFirst());
    QVERIFY(m_store->article("A'1", "Tuerca 1/2\" 'inox'"));
    QVERIFY(m_store->order(15, QDate(2004, 8, 20), "O'Brien & Peña"));
    for (int line = 1; line <= 3; ++line)
        QVERIFY(m_store->line(15, line, line == 1 ? "A'1" : "A1", 1, 0.5, QStringLiteral("'detalle' %1").arg(line)));

    // The report reads over its own connection, not the program's.
    const std::unique_ptr<rptOrden> report = m_store->report("15", "01/01/2030");
    QVERIFY(report && !acnDataBase().isOpen());
    const ReportDocument &doc = report->document();
    QCOMPARE(doc.text(0, "txtFECHA"), date);
    QCOMPARE(doc.text(0, "txtCLIENTE"), QStringLiteral("O'Brien & Peña"));
    QCOMPARE(doc.texts(0, "Field2"), QStringList({"A'1", "A1", "A1"}));
    QCOMPARE(doc.texts(0, "txtDESCRIPCION").first(), QStringLiteral("Tuerca 1/2\" 'inox'"));
    QCOMPARE(doc.texts(0, "txtPUNITARIO"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "txtDETALLES"), QStringList({"'detalle' 1", "'detalle' 2", "'detalle' 3"}));
    QCOMPARE(doc.text(0, "lblTOTAL_ORDEN"), total);
    QCOMPARE(doc.text(0, "lblTOTAL_CANTIDAD"), QStringLiteral("1"));
    QCOMPARE(doc.text(0, "lblTOTAL_IMPORTE"), total);
    // By number, the footer shows the date asked for, not the order's own.
    QCOMPARE(doc.text(0, "lblFECHA"), QStringLiteral("01/01/2030"));
}

void tst_rptOrden::runningFootersOverSeveralPages()
{
    const QDate day(2004, 8, 20);
    QVERIFY(m_store->order(1, day, "Uno", 3, 1, 0.5));
    QVERIFY(m_store->order(2, day, "Dos", 20, 2, 1234.5));
    // The amount is worked from the price as the field shows it: 0,33, not 0,333.
    QVERIFY(m_store->order(3, day, "Tres", 2, 3, 0.333));

    const std::unique_ptr<rptOrden> report = m_store->report({}, "20/08/2004");
    QVERIFY(report);
    const ReportDocument &doc = report->document();
    // Order 2 starts on page 1 below order 1, continues on page 2 and ends there; order 3's
    // header no longer fits and opens page 3.
    QCOMPARE(doc.pageCount(), 3);
    QCOMPARE(doc.texts(0, "Field1"), QStringList({"1", "2"}));
    QCOMPARE(doc.texts(1, "lblTOTAL_LINEA").size(), 16);
    // The page on which order 2 goes on opens with its number and customer and the headings.
    QCOMPARE(doc.bandNames(1).mid(0, 3), QStringList({"PageHeader", "GroupContinuation1", "Detail"}));
    QCOMPARE(doc.texts(1, "txtCONT_NRO_PEDIDO"), QStringList{"2"});
    QCOMPARE(doc.text(1, "txtCONT_CLIENTE"), QStringLiteral("Dos"));
    QCOMPARE(doc.text(1, "lblCONTINUA"), QStringLiteral("(continúa)"));
    QCOMPARE(doc.text(1, "lblCONT_IMPORTE"), QStringLiteral("Importe"));
    QCOMPARE(doc.texts(2, "Field1"), QStringList({"3"}));
    QCOMPARE(doc.bandNames(2).at(1), QStringLiteral("GroupHeader1"));
    QCOMPARE(doc.texts(2, "lblTOTAL_LINEA"), QStringList({"0,99", "0,99"}));
    QCOMPARE(allTexts(*report, "lblTOTAL_ORDEN"), QStringList({"1,50", "49.380,00", "1,98"}));
    // An order counts in the footer of the page where its own footer printed.
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD"), QStringList({"1", "2", "3"}));
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE"), QStringList({"1,50", "49.381,50", "49.383,48"}));
}

void tst_rptOrden::selectsByNumberOrDate_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("orders");
    const auto row = [](const char *name, const char *number, const char *date, const QStringList &orders) {
        QTest::newRow(name) << QString(number) << QString(date) << orders;
    };
    row("number", "7", "20/08/2004", {"7"});
    row("leading number, other day", " 13abc", "20/08/2004", {"13"});
    row("no such order", "99", "20/08/2004", {});
    row("fraction matches none", "7.5", "20/08/2004", {});
    row("zero takes the date", "0", "20/08/2004", {"7", "12"});
    row("other day", "", "21/08/2004", {"13"});
    row("initial caption", "", "__/__/____", {});
    row("statement-like", "", "20/08/2004') OR 1=1 --", {});
}

void tst_rptOrden::selectsByNumberOrDate()
{
    QFETCH(QString, number);
    QFETCH(QString, date);
    QFETCH(QStringList, orders);
    for (int order : {7, 12, 13})
        QVERIFY(m_store->order(order, QDate(2004, 8, order == 13 ? 21 : 20), "Cliente", 1, 1, 1));
    const std::unique_ptr<rptOrden> report = m_store->report(number, date);
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "Field1"), orders);
    // A run without orders still gives a page with its footer.
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD").last(), QString::number(orders.size()));
    QCOMPARE(report->document().text(0, "lblFECHA"), date);
    // The value travels bound, never inside the statement.
    QVERIFY(!report->dataControl().query.contains(QStringLiteral("2004")));
    QCOMPARE(report->dataControl().values.size(), 1);
}

// Orders and lines ascend; an order without lines, and a line whose article is gone, are left out.
void tst_rptOrden::ordersAndLinesAscendAndTwoRunsAgree()
{
    for (const QString code : {"A2", "A3"})
        QVERIFY(m_store->article(code, code));
    for (int order : {30, 10, 20}) {
        QVERIFY(m_store->order(order, QDate(2004, 8, 20), QStringLiteral("Cliente %1").arg(order)));
        for (int line : {3, 1, 2})
            QVERIFY(m_store->line(order, line, QStringLiteral("A%1").arg(line), line, 1.25));
    }
    QVERIFY(m_store->line(10, 4, "GONE", 1, 100));
    QVERIFY(m_store->order(1, QDate(2004, 8, 20), "Sin líneas"));
    QVERIFY(m_store->order(2, QDate(2004, 8, 20), "Solo artículos borrados") && m_store->line(2, 1, "GONE", 5, 100));
    const std::unique_ptr<rptOrden> report = m_store->report({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "Field1"), QStringList({"10", "20", "30"}));
    QCOMPARE(allTexts(*report, "Field2"), QStringList({"A1", "A2", "A3", "A1", "A2", "A3", "A1", "A2", "A3"}));
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD").last(), QStringLiteral("3"));
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE").last(), QStringLiteral("22,50"));
    const ReportDocument first = report->document();
    QVERIFY_NO_ERROR(report->run());
    QVERIFY(report->document() == first);
    QVERIFY(m_store->report({}, "20/08/2004")->document() == first);
}

void tst_rptOrden::wideFiguresShrinkLongTextsAreCut()
{
    QVERIFY(m_store->wideOrder(5, QDate(2004, 8, 20)));
    const std::unique_ptr<rptOrden> report = m_store->report("5");
    QVERIFY(report);
    const ReportDocument &doc = report->document();
    // Every digit is there (the type is smaller where the box needs it).
    QCOMPARE(doc.texts(0, "txtCANTIDAD"), QStringList({"10", "123456", "1"}));
    QCOMPARE(doc.texts(0, "txtPUNITARIO"), QStringList({"1.234.567,00", "1,00", "1.234.567,89"}));
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA"), QStringList({"12.345.670,00", "123.456,00", "1.234.567,89"}));
    QCOMPARE(doc.text(0, "lblTOTAL_ORDEN"), QStringLiteral("13.703.693,89"));
    // Texts stop at a readable size and end with "…"; the e-mail keeps to its two lines.
    for (const char *name : {"txtCLIENTE", "txtTELEFONO", "txtEMAIL"})
        QVERIFY2(doc.text(0, name).endsWith(QChar(0x2026)), name);
    QCOMPARE(doc.text(0, "txtEMAIL").count(QLatin1Char('\n')), 1);
    QVERIFY(doc.text(0, "txtCLIENTE").startsWith(QStringLiteral("Ferretería y Bulonería")));
}

void tst_rptOrden::failuresAreReported()
{
    QVERIFY(m_store->order(9, QDate(2004, 8, 20), "Cliente", 2, 1, 2));
    QVERIFY(m_db->exec("UPDATE LINEAS_PEDIDOS SET CANTIDAD = NULL WHERE NRO_LINEA = 2"));
    strConexion = Connection::connectionString(m_db->path());
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "9");
    QVERIFY_ERROR_CONTAINS(report.run(), QStringLiteral("pedido 9"));
    QCOMPARE(report.document().texts(0, "lblTOTAL_LINEA"), QStringList({"2,00", ""}));

    strConexion = Connection::connectionString(m_db->folder() + QStringLiteral("/nada.mdb"));
    QVERIFY_ERROR_CONTAINS(report.run(), QStringLiteral("nada.mdb"));
}

void tst_rptOrden::orderCountGoesBeyond16Bits()
{
    // 32,800 orders of one line on one day, written by the engine in one statement each.
    QVERIFY(m_db->exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 32800) "
                       "INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) SELECT x, ?, 'Cliente' FROM n",
        {QStringLiteral("2004-08-20")}));
    QVERIFY(m_db->exec("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO) "
                       "SELECT NRO_PEDIDO, 1, 'A1', 1, 0.5 FROM PEDIDOS"));
    const std::unique_ptr<rptOrden> report = m_store->report({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD").last(), QStringLiteral("32800"));
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE").last(), QStringLiteral("16.400,00"));
}

// The report reads the file the run's connection holds; on POSIX, opening and closing that file
// through any other handle would drop the run's locks, and a reader elsewhere would then take
// the write-ahead log away with what it holds.
void tst_rptOrden::runKeepsTheStoresLock()
{
    QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
    auto closeAtEnd = qScopeGuard([] { acnDataBase().close(); });
    QVERIFY_NO_ERROR(acnDataBase().useWriteAheadLog());
    QVERIFY_NO_ERROR(acnDataBase().execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART) VALUES ('NUEVO')")));
    QVERIFY(m_store->report(QStringLiteral("1")));

    QProcess reader;
    reader.start(QStringLiteral("sqlite3"),
        {m_db->path(), QStringLiteral("SELECT COUNT(*) FROM ARTICULOS WHERE COD_ART = 'NUEVO';")});
    QVERIFY2(reader.waitForFinished(10000), "sqlite3 did not run");
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardOutput().trimmed(), QByteArray("1"));
    QVERIFY(QFileInfo::exists(m_db->path() + QStringLiteral("-wal")));
}

QTEST_MAIN(tst_rptOrden)
#include "tst_rptorden.moc"
