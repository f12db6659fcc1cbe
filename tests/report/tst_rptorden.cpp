#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

class tst_rptOrden : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneOrderOfThreeLines_data();
    void oneOrderOfThreeLines();
    void runningFootersOverSeveralPages();
    void ordersWithoutLinesAndLinesWithoutArticleAreLeftOut();
    void selectsByNumberOrDate_data();
    void selectsByNumberOrDate();
    void ordersAndLinesAscendAndTwoRunsAgree();
    void textsAreShownAsStored();
    void wideFiguresShrinkLongTextsAreCut();
    void failuresAreReported();
    void orderCountGoesBeyond16Bits();
    void runKeepsTheStoresLock();

private:
    // Runs the report for the number and date captions (empty: left as the report starts).
    std::unique_ptr<rptOrden> run(const QString &number, const QString &date);
    static QStringList allTexts(const rptOrden &report, const QString &item);

    std::unique_ptr<TestDatabase> m_db;
};

void tst_rptOrden::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(m_db->isValid());
    strConexion = Connection::connectionString(m_db->path());
}

void tst_rptOrden::cleanup()
{
    m_db.reset();
    strConexion.clear();
}

std::unique_ptr<rptOrden> tst_rptOrden::run(const QString &number, const QString &date)
{
    auto report = std::make_unique<rptOrden>();
    if (!number.isEmpty())
        report->setCaption("lblView_NRO_PEDIDO", number);
    if (!date.isEmpty())
        report->setCaption("lblFECHA", date);
    const std::optional<QString> error = report->run();
    if (error)
        qWarning() << *error;
    return error ? nullptr : std::move(report);
}

// The report reads the file the run's connection holds; on POSIX, opening and closing that file
// through any other handle would drop the run's locks, and a reader elsewhere would then take
// the write-ahead log away with what it holds.
void tst_rptOrden::runKeepsTheStoresLock()
{
    QVERIFY(!acnDataBase().open(m_db->path()));
    auto closeAtEnd = qScopeGuard([] { acnDataBase().close(); });
    QVERIFY(!acnDataBase().useWriteAheadLog());
    QVERIFY(!acnDataBase().execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART) VALUES ('NUEVO')")));
    QVERIFY(run(QStringLiteral("1"), QString()));

    QProcess reader;
    reader.start(QStringLiteral("sqlite3"), {m_db->path(), QStringLiteral("SELECT COUNT(*) FROM ARTICULOS;")});
    QVERIFY2(reader.waitForFinished(10000), "sqlite3 did not run");
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardOutput().trimmed(), QByteArray("1"));
    QVERIFY(QFileInfo::exists(m_db->path() + QStringLiteral("-wal")));
}

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
    QTest::newRow("comma, day first") << true << "20/08/2004"
                                      << "0,50"
                                      << "1,50";
    QTest::newRow("point, month first") << false << "08/20/2004"
                                        << "0.50"
                                        << "1.50";
}

void tst_rptOrden::oneOrderOfThreeLines()
{
    QFETCH(bool, comma);
    QFETCH(QString, date);
    QFETCH(QString, amount);
    QFETCH(QString, total);
    Regional::setCurrent(comma ? Regional::commaDayFirst() : Regional::pointMonthFirst());
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    QVERIFY(store.order(15, QDate(2004, 8, 20), "Ferretería Núñez"));
    for (int line = 1; line <= 3; ++line)
        QVERIFY(store.line(15, line, "A1", 1, 0.5, QStringLiteral("detalle %1").arg(line)));

    const std::unique_ptr<rptOrden> report = run("15", "01/01/2030");
    QVERIFY(report);
    const ReportDocument &doc = report->document();
    QCOMPARE(doc.pageCount(), 1);
    QCOMPARE(doc.bandNames(0),
        QStringList({"PageHeader", "GroupHeader1", "Detail", "Detail", "Detail", "GroupFooter1", "PageFooter"}));
    QCOMPARE(doc.text(0, "txtFECHA"), date);
    QCOMPARE(doc.texts(0, "txtPUNITARIO"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "txtDETALLES"), QStringList({"detalle 1", "detalle 2", "detalle 3"}));
    QCOMPARE(doc.text(0, "lblTOTAL_ORDEN"), total);
    QCOMPARE(doc.text(0, "lblTOTAL_CANTIDAD"), QStringLiteral("1"));
    QCOMPARE(doc.text(0, "lblTOTAL_IMPORTE"), total);
    // By number, the footer shows the date asked for, not the order's own.
    QCOMPARE(doc.text(0, "lblFECHA"), QStringLiteral("01/01/2030"));
}

void tst_rptOrden::runningFootersOverSeveralPages()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    const QDate day(2004, 8, 20);
    QVERIFY(store.order(1, day, "Uno"));
    for (int line = 1; line <= 3; ++line)
        QVERIFY(store.line(1, line, "A1", 1, 0.5));
    QVERIFY(store.order(2, day, "Dos"));
    for (int line = 1; line <= 20; ++line)
        QVERIFY(store.line(2, line, "A1", 2, 1234.5));
    // The amount is worked from the price as the field shows it: 0,33, not 0,333.
    QVERIFY(store.order(3, day, "Tres"));
    for (int line = 1; line <= 2; ++line)
        QVERIFY(store.line(3, line, "A1", 3, 0.333));

    const std::unique_ptr<rptOrden> report = run({}, "20/08/2004");
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

void tst_rptOrden::ordersWithoutLinesAndLinesWithoutArticleAreLeftOut()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    const QDate day(2004, 8, 20);
    QVERIFY(store.order(1, day, "Sin líneas"));
    QVERIFY(store.order(2, day, "Con líneas"));
    QVERIFY(store.line(2, 1, "A1", 1, 2));
    QVERIFY(store.line(2, 2, "GONE", 1, 100));
    QVERIFY(store.line(2, 3, "A1", 1, 3));
    QVERIFY(store.order(3, day, "Solo artículos borrados"));
    QVERIFY(store.line(3, 1, "GONE", 5, 100));

    const std::unique_ptr<rptOrden> report = run({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "Field1"), QStringList{"2"});
    QCOMPARE(allTexts(*report, "Field2"), QStringList({"A1", "A1"}));
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD"), QStringList{"1"});
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE"), QStringList{"5,00"});
}

void tst_rptOrden::selectsByNumberOrDate_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("orders");
    const QStringList day{"7", "12"};
    QTest::newRow("number") << "7"
                            << "20/08/2004" << QStringList{"7"};
    QTest::newRow("leading number, other day") << " 13abc"
                                               << "20/08/2004" << QStringList{"13"};
    QTest::newRow("no such order") << "99"
                                   << "20/08/2004" << QStringList();
    QTest::newRow("fraction matches none") << "7.5"
                                           << "20/08/2004" << QStringList();
    QTest::newRow("zero takes the date") << "0"
                                         << "20/08/2004" << day;
    QTest::newRow("negative takes the date") << "-3"
                                             << "20/08/2004" << day;
    QTest::newRow("other day") << ""
                               << "21/08/2004" << QStringList{"13"};
    QTest::newRow("initial caption") << ""
                                     << "__/__/____" << QStringList();
    QTest::newRow("not a date") << ""
                                << "32/13/2004" << QStringList();
    QTest::newRow("statement-like") << ""
                                    << "20/08/2004') OR 1=1 --" << QStringList();
}

void tst_rptOrden::selectsByNumberOrDate()
{
    QFETCH(QString, number);
    QFETCH(QString, date);
    QFETCH(QStringList, orders);
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order : {7, 12, 13}) {
        QVERIFY(store.order(order, QDate(2004, 8, order == 13 ? 21 : 20), "Cliente"));
        QVERIFY(store.line(order, 1, "A1", 1, 1));
    }
    const std::unique_ptr<rptOrden> report = run(number, date);
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "Field1"), orders);
    // A run without orders still gives a page with its footer.
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD").last(), QString::number(orders.size()));
    QCOMPARE(report->document().text(0, "lblFECHA"), date);
    // The value travels bound, never inside the statement.
    QVERIFY(!report->dataControl().query.contains(QStringLiteral("2004")));
    QCOMPARE(report->dataControl().values.size(), 1);
}

void tst_rptOrden::ordersAndLinesAscendAndTwoRunsAgree()
{
    const OrderFixture store{*m_db};
    for (const QString code : {"A1", "A2", "A3"})
        QVERIFY(store.article(code, code));
    for (int order : {30, 10, 20}) {
        QVERIFY(store.order(order, QDate(2004, 8, 20), QStringLiteral("Cliente %1").arg(order)));
        for (int line : {3, 1, 2})
            QVERIFY(store.line(order, line, QStringLiteral("A%1").arg(line), line, 1.25));
    }
    const std::unique_ptr<rptOrden> report = run({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "Field1"), QStringList({"10", "20", "30"}));
    QCOMPARE(allTexts(*report, "Field2"), QStringList({"A1", "A2", "A3", "A1", "A2", "A3", "A1", "A2", "A3"}));
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE").last(), QStringLiteral("22,50"));
    const ReportDocument first = report->document();
    QCOMPARE(report->run(), std::nullopt);
    QVERIFY(report->document() == first);
    QVERIFY(run({}, "20/08/2004")->document() == first);
}

void tst_rptOrden::textsAreShownAsStored()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A'1", "Tuerca 1/2\" 'inox'"));
    QVERIFY(store.order(8, QDate(2004, 8, 20), "O'Brien & Peña"));
    QVERIFY(store.line(8, 1, "A'1", 1000, 1234.5, "entregar 'urgente'"));
    // The report reads over its own connection, not the program's.
    QVERIFY(!acnDataBase().isOpen());
    const std::unique_ptr<rptOrden> report = run("8", {});
    QVERIFY(report);
    const ReportDocument &doc = report->document();
    QCOMPARE(doc.text(0, "txtCLIENTE"), QStringLiteral("O'Brien & Peña"));
    QCOMPARE(doc.text(0, "Field2"), QStringLiteral("A'1"));
    QCOMPARE(doc.text(0, "txtDESCRIPCION"), QStringLiteral("Tuerca 1/2\" 'inox'"));
    QCOMPARE(doc.text(0, "lblTOTAL_LINEA"), QStringLiteral("1.234.500,00"));
    QCOMPARE(doc.text(0, "txtDETALLES"), QStringLiteral("entregar 'urgente'"));
    QVERIFY(!acnDataBase().isOpen());
}

void tst_rptOrden::wideFiguresShrinkLongTextsAreCut()
{
    QVERIFY(OrderFixture{*m_db}.wideOrder(5, QDate(2004, 8, 20)));
    const std::unique_ptr<rptOrden> report = run("5", {});
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
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    QVERIFY(store.order(9, QDate(2004, 8, 20), "Cliente"));
    QVERIFY(store.line(9, 1, "A1", 1, 2));
    QVERIFY(store.line(9, 2, "A1", 1, 5));
    QVERIFY(m_db->exec("UPDATE LINEAS_PEDIDOS SET CANTIDAD = NULL WHERE NRO_LINEA = 2"));
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "9");
    std::optional<QString> error = report.run();
    QVERIFY2(error && error->contains(QStringLiteral("pedido 9")), qPrintable(error.value_or("")));
    QCOMPARE(report.document().texts(0, "lblTOTAL_LINEA"), QStringList({"2,00", ""}));

    strConexion = Connection::connectionString(m_db->folder() + QStringLiteral("/nada.mdb"));
    error = report.run();
    QVERIFY2(error && error->contains(QStringLiteral("nada.mdb")), qPrintable(error.value_or("")));
}

void tst_rptOrden::orderCountGoesBeyond16Bits()
{
    // 32,800 orders of one line on one day, written by the engine in one statement each.
    QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('A1', 'Tornillo')"));
    QVERIFY(m_db->exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 32800) "
                       "INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) SELECT x, ?, 'Cliente' FROM n",
        {QStringLiteral("2004-08-20")}));
    QVERIFY(m_db->exec("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO) "
                       "SELECT NRO_PEDIDO, 1, 'A1', 1, 0.5 FROM PEDIDOS"));
    const std::unique_ptr<rptOrden> report = run({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(allTexts(*report, "lblTOTAL_CANTIDAD").last(), QStringLiteral("32800"));
    QCOMPARE(allTexts(*report, "lblTOTAL_IMPORTE").last(), QStringLiteral("16.400,00"));
}

QTEST_MAIN(tst_rptOrden)
#include "tst_rptorden.moc"
