#include "orderfixture.h"

#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "report/bandedreport.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

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
    void bandsAreNeverSplit();
    void ordersWithoutLinesAndLinesWithoutArticleAreLeftOut();
    void selectsByNumber_data();
    void selectsByNumber();
    void selectsByDate_data();
    void selectsByDate();
    void ordersAndLinesAscend();
    void twoRunsGiveIdenticalPages();
    void textsAreShownAsStored();
    void readsOverItsOwnConnection();
    void missingDatabaseIsReported();
    void lineWithoutQuantityIsReported();
    void orderCountGoesBeyond16Bits();

private:
    QStringList allTexts(const rptOrden &report, const QString &item) const;

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

QStringList tst_rptOrden::allTexts(const rptOrden &report, const QString &item) const
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

    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "15");
    report.setCaption("lblFECHA", "01/01/2030");
    QCOMPARE(report.run(), std::nullopt);

    const ReportDocument &doc = report.document();
    QCOMPARE(doc.pageCount(), 1);
    QCOMPARE(doc.bandNames(0),
        QStringList({"PageHeader", "GroupHeader1", "Detail", "Detail", "Detail", "GroupFooter1", "PageFooter"}));
    QCOMPARE(doc.texts(0, "Field1"), QStringList{"15"});
    QCOMPARE(doc.text(0, "txtFECHA"), date);
    QCOMPARE(doc.texts(0, "txtCANTIDAD"), QStringList({"1", "1", "1"}));
    QCOMPARE(doc.texts(0, "txtPUNITARIO"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA"), QStringList({amount, amount, amount}));
    QCOMPARE(doc.texts(0, "txtDETALLES"), QStringList({"detalle 1", "detalle 2", "detalle 3"}));
    QCOMPARE(doc.text(0, "lblTOTAL_ORDEN"), total);
    QCOMPARE(doc.text(0, "lblTOTAL_CANTIDAD"), QStringLiteral("1"));
    QCOMPARE(doc.text(0, "lblTOTAL_IMPORTE"), total);
    // By number, the footer shows the date asked for, not the order's own.
    QCOMPARE(doc.text(0, "lblFECHA"), QStringLiteral("01/01/2030"));
    QCOMPARE(doc.text(0, "Label27"), QStringLiteral("Software: Recorvan"));
    // The parameter label is carried, not printed.
    QCOMPARE(doc.texts(0, "lblView_NRO_PEDIDO"), QStringList());
    QCOMPARE(report.caption("lblView_NRO_PEDIDO"), QStringLiteral("15"));
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

    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    const ReportDocument &doc = report.document();

    // Order 2 starts on page 1 below order 1, continues on page 2 and ends there; order 3's
    // header no longer fits and opens page 3.
    QCOMPARE(doc.pageCount(), 3);
    QCOMPARE(doc.texts(0, "Field1"), QStringList({"1", "2"}));
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA").size(), 3 + 4);
    QCOMPARE(doc.texts(1, "Field1"), QStringList());
    QCOMPARE(doc.texts(1, "lblTOTAL_LINEA").size(), 16);
    QCOMPARE(doc.texts(1, "lblTOTAL_LINEA").first(), QStringLiteral("2.469,00"));
    QCOMPARE(doc.texts(2, "Field1"), QStringList({"3"}));
    QCOMPARE(doc.texts(2, "lblTOTAL_LINEA"), QStringList({"0,99", "0,99"}));

    QCOMPARE(allTexts(report, "lblTOTAL_ORDEN"), QStringList({"1,50", "49.380,00", "1,98"}));
    // An order counts in the footer of the page where its own footer printed.
    QCOMPARE(allTexts(report, "lblTOTAL_CANTIDAD"), QStringList({"1", "2", "3"}));
    QCOMPARE(allTexts(report, "lblTOTAL_IMPORTE"), QStringList({"1,50", "49.381,50", "49.383,48"}));
    QCOMPARE(allTexts(report, "lblFECHA"), QStringList({"20/08/2004", "20/08/2004", "20/08/2004"}));
}

void tst_rptOrden::bandsAreNeverSplit()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order = 1; order <= 6; ++order) {
        QVERIFY(store.order(order, QDate(2004, 8, 20), "Cliente"));
        for (int line = 1; line <= order * 4; ++line)
            QVERIFY(store.line(order, line, "A1", 1, 1));
    }
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    const ReportDocument &doc = report.document();
    QVERIFY(doc.pageCount() > 3);
    const int footerTop = BandedReport::pageHeight - BandedReport::margin - 750;
    for (int page = 0; page < doc.pageCount(); ++page) {
        const QList<PlacedBand> &bands = doc.page(page).bands;
        QCOMPARE(bands.first().name, QStringLiteral("PageHeader"));
        QCOMPARE(bands.first().rect.top(), BandedReport::margin);
        QCOMPARE(bands.last().name, QStringLiteral("PageFooter"));
        QCOMPARE(bands.last().rect.top(), footerTop);
        for (qsizetype i = 1; i + 1 < bands.size(); ++i) {
            QVERIFY2(bands.at(i).rect.bottom() < footerTop, qPrintable(bands.at(i).name));
            QCOMPARE(bands.at(i).rect.top(), bands.at(i - 1).rect.bottom() + 1);
            QCOMPARE(bands.at(i).rect.left(), BandedReport::margin);
            QCOMPARE(bands.at(i).rect.width(), BandedReport::reportWidth);
        }
        // A group header is followed on its page by at least one of its lines.
        for (qsizetype i = 0; i < bands.size(); ++i) {
            if (bands.at(i).name == QStringLiteral("GroupHeader1"))
                QCOMPARE(bands.at(i + 1).name, QStringLiteral("Detail"));
        }
    }
    QCOMPARE(allTexts(report, "lblTOTAL_CANTIDAD").last(), QStringLiteral("6"));
    QCOMPARE(allTexts(report, "lblTOTAL_IMPORTE").last(), QStringLiteral("84,00"));
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

    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(report.document().pageCount(), 1);
    QCOMPARE(allTexts(report, "Field1"), QStringList{"2"});
    QCOMPARE(allTexts(report, "txtCLIENTE"), QStringList{"Con líneas"});
    QCOMPARE(allTexts(report, "Field2"), QStringList({"A1", "A1"}));
    QCOMPARE(allTexts(report, "lblTOTAL_ORDEN"), QStringList{"5,00"});
    QCOMPARE(allTexts(report, "lblTOTAL_CANTIDAD"), QStringList{"1"});
    QCOMPARE(allTexts(report, "lblTOTAL_IMPORTE"), QStringList{"5,00"});
}

void tst_rptOrden::selectsByNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("orders");
    QTest::newRow("7") << "7" << QStringList{"7"};
    QTest::newRow("leading number") << " 12abc" << QStringList{"12"};
    QTest::newRow("no such order") << "99" << QStringList();
    QTest::newRow("fraction matches none") << "7.5" << QStringList();
    QTest::newRow("zero takes the date") << "0" << QStringList({"7", "12"});
    QTest::newRow("negative takes the date") << "-3" << QStringList({"7", "12"});
    QTest::newRow("text takes the date") << "abc" << QStringList({"7", "12"});
}

void tst_rptOrden::selectsByNumber()
{
    QFETCH(QString, number);
    QFETCH(QStringList, orders);
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    QVERIFY(store.order(7, QDate(2004, 8, 20), "Siete"));
    QVERIFY(store.line(7, 1, "A1", 1, 1));
    QVERIFY(store.order(12, QDate(2004, 8, 20), "Doce"));
    QVERIFY(store.line(12, 1, "A1", 1, 1));
    QVERIFY(store.order(13, QDate(2004, 8, 21), "Trece"));
    QVERIFY(store.line(13, 1, "A1", 1, 1));

    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", number);
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(allTexts(report, "Field1"), orders);
    // A run without orders still gives a page with its footer.
    QVERIFY(report.document().pageCount() >= 1);
    QCOMPARE(allTexts(report, "lblTOTAL_CANTIDAD").last(), QString::number(orders.size()));
    // The value travels bound, never inside the statement.
    QVERIFY(report.dataControl().query.contains(QLatin1Char('?')));
    QVERIFY(!report.dataControl().query.contains(QStringLiteral("20/08/2004")));
    QCOMPARE(report.dataControl().values.size(), 1);
}

void tst_rptOrden::selectsByDate_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("orders");
    QTest::newRow("comma day") << true << "21/08/2004" << QStringList({"3", "5"});
    QTest::newRow("point day") << false << "08/21/2004" << QStringList({"3", "5"});
    QTest::newRow("other day") << true << "20/08/2004" << QStringList{"4"};
    QTest::newRow("no orders that day") << true << "22/08/2004" << QStringList();
    QTest::newRow("initial caption") << true << "__/__/____" << QStringList();
    QTest::newRow("not a date") << true << "32/13/2004" << QStringList();
    QTest::newRow("statement-like") << true << "21/08/2004') OR 1=1 --" << QStringList();
    QTest::newRow("empty") << true << "" << QStringList();
}

void tst_rptOrden::selectsByDate()
{
    QFETCH(bool, comma);
    QFETCH(QString, date);
    QFETCH(QStringList, orders);
    Regional::setCurrent(comma ? Regional::commaDayFirst() : Regional::pointMonthFirst());
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order : {3, 4, 5}) {
        QVERIFY(store.order(order, order == 4 ? QDate(2004, 8, 20) : QDate(2004, 8, 21), "Cliente"));
        QVERIFY(store.line(order, 1, "A1", 1, 1));
    }
    rptOrden report;
    report.setCaption("lblFECHA", date);
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(allTexts(report, "Field1"), orders);
    QCOMPARE(report.document().text(0, "lblFECHA"), date);
}

void tst_rptOrden::ordersAndLinesAscend()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Uno"));
    QVERIFY(store.article("A2", "Dos"));
    QVERIFY(store.article("A3", "Tres"));
    for (int order : {30, 10, 20}) {
        QVERIFY(store.order(order, QDate(2004, 8, 20), QStringLiteral("Cliente %1").arg(order)));
        QVERIFY(store.line(order, 3, "A3", 1, 1));
        QVERIFY(store.line(order, 1, "A1", 1, 1));
        QVERIFY(store.line(order, 2, "A2", 1, 1));
    }
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(allTexts(report, "Field1"), QStringList({"10", "20", "30"}));
    QCOMPARE(allTexts(report, "txtCLIENTE"), QStringList({"Cliente 10", "Cliente 20", "Cliente 30"}));
    QCOMPARE(allTexts(report, "Field2"), QStringList({"A1", "A2", "A3", "A1", "A2", "A3", "A1", "A2", "A3"}));
    QCOMPARE(allTexts(report, "txtDESCRIPCION").mid(0, 3), QStringList({"Uno", "Dos", "Tres"}));
}

void tst_rptOrden::twoRunsGiveIdenticalPages()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order = 1; order <= 4; ++order) {
        QVERIFY(store.order(order, QDate(2004, 8, 20), "Cliente"));
        for (int line = 1; line <= 7; ++line)
            QVERIFY(store.line(order, line, "A1", line, 1.25));
    }
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    const ReportDocument first = report.document();
    QCOMPARE(report.run(), std::nullopt);
    QVERIFY(report.document() == first);
    QCOMPARE(allTexts(report, "lblTOTAL_CANTIDAD").last(), QStringLiteral("4"));
    QCOMPARE(allTexts(report, "lblTOTAL_IMPORTE").last(), QStringLiteral("140,00"));

    rptOrden another;
    another.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(another.run(), std::nullopt);
    QVERIFY(another.document() == first);
}

void tst_rptOrden::textsAreShownAsStored()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A'1", "Tuerca 1/2\" 'inox'"));
    QVERIFY(store.order(8, QDate(2004, 8, 20), "O'Brien & Peña"));
    QVERIFY(store.line(8, 1, "A'1", 1000, 1234.5, "entregar 'urgente'"));
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "8");
    QCOMPARE(report.run(), std::nullopt);
    const ReportDocument &doc = report.document();
    QCOMPARE(doc.text(0, "txtCLIENTE"), QStringLiteral("O'Brien & Peña"));
    QCOMPARE(doc.text(0, "Field2"), QStringLiteral("A'1"));
    QCOMPARE(doc.text(0, "txtDESCRIPCION"), QStringLiteral("Tuerca 1/2\" 'inox'"));
    QCOMPARE(doc.text(0, "txtCANTIDAD"), QStringLiteral("1000"));
    QCOMPARE(doc.text(0, "txtPUNITARIO"), QStringLiteral("1.234,50"));
    QCOMPARE(doc.text(0, "lblTOTAL_LINEA"), QStringLiteral("1.234.500,00"));
    QCOMPARE(doc.text(0, "txtDETALLES"), QStringLiteral("entregar 'urgente'"));
    QCOMPARE(doc.text(0, "txtFORMA_DE_ENVIO"), QStringLiteral("Envío 8"));
    QCOMPARE(doc.text(0, "txtOBSERVACIONES"), QStringLiteral("Obs 8"));
    QCOMPARE(doc.text(0, "txtEMAIL"), QStringLiteral("c8@example.com"));
    // The date parameter keeps its initial caption when the opener sets none.
    QCOMPARE(doc.text(0, "lblFECHA"), QStringLiteral("__/__/____"));
}

void tst_rptOrden::readsOverItsOwnConnection()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    QVERIFY(store.order(1, QDate(2004, 8, 20), "Cliente"));
    QVERIFY(store.line(1, 1, "A1", 1, 1));
    QVERIFY(!acnDataBase().isOpen());
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "1");
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(report.document().text(0, "Field1"), QStringLiteral("1"));
    QVERIFY(!acnDataBase().isOpen());
    QCOMPARE(report.dataControl().connectionString, strConexion);
}

void tst_rptOrden::missingDatabaseIsReported()
{
    strConexion = Connection::connectionString(m_db->folder() + QStringLiteral("/nada.mdb"));
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "1");
    const std::optional<QString> error = report.run();
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QStringLiteral("nada.mdb")), qPrintable(*error));

    strConexion.clear();
    QVERIFY(report.run().has_value());
}

void tst_rptOrden::lineWithoutQuantityIsReported()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    QVERIFY(store.order(9, QDate(2004, 8, 20), "Cliente"));
    QVERIFY(store.line(9, 1, "A1", 1, 2));
    QVERIFY(store.line(9, 2, "A1", 1, 5));
    QVERIFY(m_db->exec("UPDATE LINEAS_PEDIDOS SET CANTIDAD = NULL WHERE NRO_LINEA = 2"));
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "9");
    const std::optional<QString> error = report.run();
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QStringLiteral("pedido 9")), qPrintable(*error));
    const ReportDocument &doc = report.document();
    QCOMPARE(doc.texts(0, "lblTOTAL_LINEA"), QStringList({"2,00", ""}));
    QCOMPARE(doc.text(0, "lblTOTAL_ORDEN"), QStringLiteral("2,00"));
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
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    const ReportDocument &doc = report.document();
    QCOMPARE(doc.text(doc.pageCount() - 1, "lblTOTAL_CANTIDAD"), QStringLiteral("32800"));
    QCOMPARE(doc.text(doc.pageCount() - 1, "lblTOTAL_IMPORTE"), QStringLiteral("16.400,00"));
}

QTEST_MAIN(tst_rptOrden)
#include "tst_rptorden.moc"
