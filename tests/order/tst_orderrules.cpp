#include "app/regional.h"
#include "order/desklook.h"
#include "order/exchangerate.h"
#include "order/lineentry.h"
#include "order/ordertotals.h"
#include "order/twips.h"

#include <QtTest>

class tst_OrderRules : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    void lineTotal_data();
    void lineTotal();
    void leavingTheQuantity_data();
    void leavingTheQuantity();
    void leavingThePrice_data();
    void leavingThePrice();
    void totals_data();
    void totals();
    void exchangeRateReply_data();
    void exchangeRateReply();
    void exchangeRateRoundTrip_data();
    void exchangeRateRoundTrip();
    void twipsToPixels_data();
    void twipsToPixels();
    void fontFamily_data();
    void fontFamily();
};

namespace {

Regional::Settings region(const QString &name)
{
    return name == QStringLiteral("point") ? Regional::pointMonthFirst() : Regional::commaDayFirst();
}

} // namespace

void tst_OrderRules::lineTotal_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("cantidad");
    QTest::addColumn<QString>("precio");
    QTest::addColumn<QString>("total"); // "-" when it cannot be computed
    QTest::newRow("comma") << "comma"
                           << "3"
                           << "1.234,50"
                           << "3.703,50";
    QTest::newRow("comma fraction") << "comma"
                                    << "2,5"
                                    << "10,00"
                                    << "25,00";
    QTest::newRow("point") << "point"
                           << "3"
                           << "1,234.50"
                           << "3,703.50";
    QTest::newRow("rounded to cents") << "comma"
                                      << "3"
                                      << "0,335"
                                      << "1,01";
    QTest::newRow("quantity not a number") << "comma"
                                           << "abc"
                                           << "10,00"
                                           << "-";
    QTest::newRow("empty price") << "comma"
                                 << "2"
                                 << ""
                                 << "-";
    QTest::newRow("empty quantity") << "comma"
                                    << ""
                                    << "10,00"
                                    << "-";
}

void tst_OrderRules::lineTotal()
{
    QFETCH(QString, region);
    QFETCH(QString, cantidad);
    QFETCH(QString, precio);
    QFETCH(QString, total);
    Regional::setCurrent(::region(region));
    QCOMPARE(LineEntry::lineTotal(cantidad, precio).value_or(QStringLiteral("-")), total);
}

void tst_OrderRules::leavingTheQuantity_data()
{
    QTest::addColumn<QString>("cantidad");
    QTest::addColumn<QString>("precio");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("total"); // "stays" when the total is not touched
    QTest::newRow("number") << "4"
                            << "2,50"
                            << "4"
                            << "10,00";
    QTest::newRow("fraction kept as typed") << "1,5"
                                            << "2,00"
                                            << "1,5"
                                            << "3,00";
    QTest::newRow("empty becomes 0, total stays") << ""
                                                  << "2,50"
                                                  << "0"
                                                  << "stays";
    QTest::newRow("letters: kept, total empty") << "dos"
                                                << "2,50"
                                                << "dos"
                                                << "";
    QTest::newRow("no price yet: total empty") << "2"
                                               << ""
                                               << "2"
                                               << "";
}

void tst_OrderRules::leavingTheQuantity()
{
    QFETCH(QString, cantidad);
    QFETCH(QString, precio);
    const LineEntry::Left left = LineEntry::leaveCantidad(cantidad, precio);
    QTEST(left.field, "field");
    QTEST(left.total.value_or(QStringLiteral("stays")), "total");
}

void tst_OrderRules::leavingThePrice_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("cantidad");
    QTest::addColumn<QString>("precio");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("total");
    QTest::newRow("rewritten in Standard") << "comma"
                                           << "2"
                                           << "1234,5"
                                           << "1.234,50"
                                           << "2.469,00";
    QTest::newRow("English settings") << "point"
                                      << "1"
                                      << "1234.5"
                                      << "1,234.50"
                                      << "1,234.50";
    QTest::newRow("empty becomes 0, total stays") << "comma"
                                                  << "2"
                                                  << ""
                                                  << "0"
                                                  << "stays";
    QTest::newRow("letters kept, total empty") << "comma"
                                               << "2"
                                               << "caro"
                                               << "caro"
                                               << "";
    QTest::newRow("quantity letters, total empty") << "comma"
                                                   << "x"
                                                   << "5"
                                                   << "5,00"
                                                   << "";
}

void tst_OrderRules::leavingThePrice()
{
    QFETCH(QString, region);
    QFETCH(QString, cantidad);
    QFETCH(QString, precio);
    Regional::setCurrent(::region(region));
    const LineEntry::Left left = LineEntry::leavePrecio(cantidad, precio);
    QTEST(left.field, "field");
    QTEST(left.total.value_or(QStringLiteral("stays")), "total");
}

void tst_OrderRules::totals_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QStringList>("quantities");
    QTest::addColumn<QStringList>("totals");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("money");
    QTest::newRow("no lines") << "comma" << QStringList() << QStringList() << "0"
                              << "0,00";
    QTest::newRow("grouped totals") << "comma" << QStringList{"1", "2"} << QStringList{"1.234,50", "10,00"} << "3"
                                    << "1.244,50";
    QTest::newRow("grouped totals, point")
        << "point" << QStringList{"1", "2"} << QStringList{"1,234.50", "10.00"} << "3"
        << "1,244.50";
    QTest::newRow("halves to even after each line")
        << "comma" << QStringList{"2.5", "2.5"} << QStringList{"1,00", "1,00"} << "4"
        << "2,00";
    QTest::newRow("comma stops the quantity") << "comma" << QStringList{"1,5"} << QStringList{"3,00"} << "1"
                                              << "3,00";
    QTest::newRow("empty line counts nothing") << "comma" << QStringList{"", "3"} << QStringList{"", "9,00"} << "3"
                                               << "9,00";
    QTest::newRow("beyond 16 bits") << "comma" << QStringList{"30000", "30000"} << QStringList{"1,00", "1,00"}
                                    << "60000"
                                    << "2,00";
    QTest::newRow("beyond 32 bits left out, its money counted")
        << "comma" << QStringList{"5", "3e10"} << QStringList{"1,00", "2,00"} << "5"
        << "3,00";
}

void tst_OrderRules::totals()
{
    QFETCH(QString, region);
    QFETCH(QStringList, quantities);
    QFETCH(QStringList, totals);
    Regional::setCurrent(::region(region));
    const OrderTotals sums = OrderTotals::of(quantities, totals);
    QTEST(sums.itemsText(), "items");
    QTEST(sums.moneyText(), "money");

    QList<QStringList> rows;
    for (qsizetype i = 0; i < quantities.size(); ++i)
        rows.append({QStringLiteral("d"), quantities.at(i), QString(), totals.at(i)});
    QCOMPARE(OrderTotals::of(rows).itemsText(), sums.itemsText());
}

void tst_OrderRules::exchangeRateReply_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("caption");
    QTest::newRow("comma machine, comma reply") << "comma"
                                                << "3,15" << 3.15 << "3,15";
    QTest::newRow("comma machine, point reply") << "comma"
                                                << "2.85" << 2.85 << "2,85";
    QTest::newRow("comma machine, blanks") << "comma"
                                           << " 3 , 5" << 3.5 << "3,5";
    QTest::newRow("point machine, point reply") << "point"
                                                << "3.15" << 3.15 << "3.15";
    QTest::newRow("point machine, comma stops") << "point"
                                                << "3,15" << 3.0 << "3";
    QTest::newRow("letters first") << "comma"
                                   << "abc3" << 0.0 << "0";
    QTest::newRow("cancel") << "comma"
                            << "" << 0.0 << "0";
    QTest::newRow("too large") << "comma"
                               << "1e999" << 0.0 << "0";
}

void tst_OrderRules::exchangeRateReply()
{
    QFETCH(QString, region);
    QFETCH(QString, reply);
    QFETCH(double, rate);
    Regional::setCurrent(::region(region));
    QCOMPARE(ExchangeRate::fromReply(reply), rate);
    QTEST(ExchangeRate::caption(ExchangeRate::fromReply(reply)), "caption");
}

void tst_OrderRules::exchangeRateRoundTrip_data()
{
    QTest::addColumn<QString>("region");
    QTest::newRow("comma") << "comma";
    QTest::newRow("point") << "point";
}

void tst_OrderRules::exchangeRateRoundTrip()
{
    QFETCH(QString, region);
    Regional::setCurrent(::region(region));
    // Accepting the proposed reply unchanged keeps the rate.
    const QString caption = ExchangeRate::caption(3.15);
    QCOMPARE(ExchangeRate::fromReply(ExchangeRate::proposed(caption)), 3.15);
    QCOMPARE(ExchangeRate::proposed(QStringLiteral("0,00")), QStringLiteral("0"));
}

void tst_OrderRules::twipsToPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("client width at 96 dpi") << 11910 << qreal(96) << 794;
    QTest::newRow("client height at 96 dpi") << 8520 << qreal(96) << 568;
    QTest::newRow("15 twips a pixel") << 15 << qreal(96) << 1;
    QTest::newRow("large fonts") << 1440 << qreal(120) << 120;
    QTest::newRow("twice the density") << 735 << qreal(192) << 98;
}

void tst_OrderRules::twipsToPixels()
{
    QFETCH(int, twips);
    QFETCH(qreal, dpi);
    QTEST(Twips::toPixels(twips, dpi), "pixels");
    // Neighbours that meet in twips meet in pixels.
    const QRect left = Twips::toPixels(QRect(120, 300, 1095, 285), dpi, dpi);
    const QRect right = Twips::toPixels(QRect(1215, 300, 100, 285), dpi, dpi);
    QCOMPARE(left.right() + 1, right.left());
}

void tst_OrderRules::fontFamily_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("family");
    QTest::newRow("Verdana present") << QStringList{"Arial", "DejaVu Sans", "Verdana"} << "Verdana";
    QTest::newRow("free faces") << QStringList{"Liberation Sans", "DejaVu Sans"} << "DejaVu Sans";
    QTest::newRow("only Liberation") << QStringList{"Liberation Sans"} << "Liberation Sans";
}

void tst_OrderRules::fontFamily()
{
    QFETCH(QStringList, installed);
    QTEST(DeskLook::fontFamily(installed), "family");
}

QTEST_GUILESS_MAIN(tst_OrderRules)
#include "tst_orderrules.moc"
