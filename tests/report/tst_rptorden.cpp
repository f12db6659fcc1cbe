#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "support/testchecks.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

// The order report on the banded engine: what it selects, how its orders go over pages, the
// amounts and totals it works out, what it tells; the fitting of texts is tested where it lives.
class tst_rptOrden : public QObject
{
    Q_OBJECT

    std::optional<TestDatabase> m_db;
    std::optional<OrderFixture> m_store;

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        m_store.emplace(OrderFixture{*m_db});
        QVERIFY(m_store->article("A1", "Tornillo"));
    }
    // A day's orders ascend, with their lines; an order without lines is left out, while a line
    // whose article the catalogue lacks is printed and counted; every page's footer counts what
    // printed so far.
    void aDayOverPages()
    {
        const QDate day(2004, 8, 20);
        QVERIFY(m_store->order(3, day, "Tres", 2, 3, 0.333));
        QVERIFY(m_store->order(1, day, "Uno") && m_store->article("A2", "") && m_store->article("A3", ""));
        for (int line : {3, 1, 2, 4})
            QVERIFY(m_store->line(1, line, line == 4 ? "GONE" : QStringLiteral("A%1").arg(line), 1, 0.5));
        QVERIFY(m_store->order(2, day, "Dos", 20, 2, 1234.5));
        QVERIFY(m_store->order(4, day, "Sin líneas") && m_store->order(5, day, "Borrado"));
        QVERIFY(m_store->line(5, 1, "GONE", 5, 100));

        const std::unique_ptr<rptOrden> report = m_store->report({}, "20/08/2004");
        QVERIFY(report);
        const ReportDocument &doc = report->document();
        QCOMPARE(doc.pageCount(), 4); // order 2 goes on over pages 2 and 3; order 5 opens page 4
        QCOMPARE(doc.texts(1, "txtCONT_NRO_PEDIDO"), QStringList{"2"});
        QCOMPARE(OrderFixture::allTexts(doc, "Field1"), QStringList({"1", "2", "3", "5"}));
        QCOMPARE(OrderFixture::allTexts(doc, "Field2").mid(0, 4), QStringList({"A1", "A2", "A3", "GONE"}));
        QCOMPARE(OrderFixture::allTexts(doc, "txtDESCRIPCION").at(3), QStringLiteral("(no está en el catálogo)"));
        // The amount is worked from the price as the field shows it: 0,33, not 0,333.
        QCOMPARE(doc.texts(2, "lblTOTAL_LINEA"), QStringList({"2.469,00", "0,99", "0,99"}));
        QCOMPARE(OrderFixture::allTexts(doc, "lblTOTAL_ORDEN"), QStringList({"2,00", "49.380,00", "1,98", "500,00"}));
        // An order counts in the footer of the page where its own footer printed.
        QCOMPARE(OrderFixture::allTexts(doc, "lblTOTAL_CANTIDAD"), QStringList({"1", "1", "3", "4"}));
        QCOMPARE(
            OrderFixture::allTexts(doc, "lblTOTAL_IMPORTE"), QStringList({"2,00", "2,00", "49.383,98", "49.883,98"}));
        // A second run starts its totals over.
        const ReportDocument first = doc;
        QVERIFY_NO_ERROR(report->run());
        QVERIFY(report->document() == first);
    }

    // Day x holds an order of x lines and one of a line. Whatever their lengths, a page opens
    // with an order's header or its continuation and a line, and never ends on a header.
    void ordersBreakBetweenLines()
    {
        QVERIFY(m_db->exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 45) INSERT INTO "
                           "PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) SELECT x + y, date('2004-01-01', x || ' days'), 'C' "
                           "FROM n, (SELECT 0 AS y UNION ALL SELECT 100)"));
        QVERIFY(m_db->exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 45) INSERT INTO "
                           "LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO) SELECT NRO_PEDIDO, "
                           "x, 'A1', 1, 1 FROM PEDIDOS JOIN n ON x <= NRO_PEDIDO % 100"));
        for (int x = 1; x <= 45; ++x) {
            const std::unique_ptr<rptOrden> report
                = m_store->report({}, Regional::shortDate(QDate(2004, 1, 1).addDays(x)));
            QVERIFY(report && report->document().pageCount() > 0);
            for (int page = 0; page < report->document().pageCount(); ++page) {
                const QString bands = report->document().bandNames(page).join(QLatin1Char(','));
                QVERIFY2(bands.contains(QRegularExpression("^PageHeader,Group(Header|Continuation)1,Detail"))
                        && !bands.contains(QStringLiteral("GroupHeader1,PageFooter")),
                    qPrintable(QStringLiteral("%1 lines, page %2: %3").arg(x).arg(page).arg(bands)));
            }
        }
    }

    void selectsByNumberOrDate_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QStringList>("orders");
        const auto row = [](const char *name, const char *number, const char *date, const QStringList &orders) {
            QTest::newRow(name) << QString(number) << QString(date) << orders;
        };
        row("number, other day", "13", "20/08/2004", {"13"});
        row("no such order", "99", "20/08/2004", {});
        row("zero takes the date", "0", "20/08/2004", {"7", "12"});
        row("month first", "", "08/21/2004", {"13"});
        row("statement-like", "", "20/08/2004') OR 1=1 --", {});
    }

    void selectsByNumberOrDate()
    {
        QFETCH(QString, date);
        QFETCH(QStringList, orders);
        for (int order : {7, 12, 13})
            QVERIFY(m_store->order(order, QDate(2004, 8, order == 13 ? 21 : 20), "Cliente", 1, 1, 1));
        QFETCH(QString, number);
        if (date.startsWith('0'))
            Regional::setCurrent(Regional::pointMonthFirst());
        const std::unique_ptr<rptOrden> report = m_store->report(number, date);
        QVERIFY(report);
        const ReportDocument &doc = report->document();
        QCOMPARE(OrderFixture::allTexts(doc, "Field1"), orders);
        if (orders == QStringList{"13"})
            QCOMPARE(doc.text(0, "txtFECHA"), date.startsWith('0') ? "08/21/2004" : "21/08/2004");
        // A run without orders still gives a page with its footer.
        QCOMPARE(OrderFixture::allTexts(doc, "lblTOTAL_CANTIDAD").last(), QString::number(orders.size()));
        QCOMPARE(doc.text(0, "lblFECHA"), date);
        // The value travels bound, never inside the statement.
        QVERIFY(!report->dataControl().query.contains(QStringLiteral("2004")));
        QCOMPARE(report->dataControl().values.size(), 2);
    }

    void wideFiguresShrinkLongTextsAreCut()
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

    void failuresAreReported()
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

    // On POSIX, opening and closing the run's file through any other handle would drop the run's
    // locks, and a reader elsewhere would then take the write-ahead log away with what it holds.
    void runKeepsTheStoresLock()
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
};

QTEST_MAIN(tst_rptOrden)
#include "tst_rptorden.moc"
