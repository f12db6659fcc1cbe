#include "base/regional.h"
#include "order/exchangerate.h"
#include "order/gridcolumns.h"
#include "order/lineentry.h"
#include "order/ordertotals.h"

#include <QtTest>

namespace {

using S = QString;

template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

} // namespace

// The desk's rules where the window adds nothing: leaving a line's fields, the order's totals,
// the exchange rate.
class tst_OrderRules : public QObject
{
    Q_OBJECT

private slots:
    void leavingAField_data()
    {
        QTest::addColumn<bool>("point"); // the point-decimal, month-first setting
        QTest::addColumn<QString>("left"); // the field being left
        QTest::addColumn<QString>("cantidad");
        QTest::addColumn<QString>("precio");
        QTest::addColumn<QString>("field"); // what the field left shows
        QTest::addColumn<QString>("total"); // "stays" when the total is not touched
        QTest::addColumn<bool>("refused"); // the field takes the focus back
        QTest::addColumn<QString>("added"); // the field that keeps the line out, or "yes"
        const bool c = false, p = true;
        const S q = "cantidad", r = "precio", y = "yes";
        row("rounded to cents", c, q, S("3"), S("0,335"), S("3"), S("1,01"), false, y);
        row("empty quantity becomes 0", c, q, S(""), S("2,50"), S("0"), S("stays"), false, y);
        row("quantity with a fraction", c, q, S("1,5"), S("10,00"), S("1,5"), S(""), true, q);
        row("quantity grouped", c, q, S("1.000"), S("1.234,50"), S("1.000"), S(""), true, q);
        row("quantity with a point fraction", p, q, S("2.5"), S("1.00"), S("2.5"), S(""), true, q);
        row("no price yet", c, q, S("2"), S(""), S("2"), S(""), false, r);
        row("price in Standard", c, r, S("2"), S("1234,5"), S("1.234,50"), S("2.469,00"), false, y);
        row("empty price becomes 0", c, r, S("2"), S(""), S("0"), S("stays"), false, y);
        row("price with a point, comma machine", c, r, S("2"), S("12.5"), S("12.5"), S(""), true, r);
    }

    void leavingAField()
    {
        QFETCH(bool, point);
        QFETCH(QString, left);
        QFETCH(QString, cantidad);
        QFETCH(QString, precio);
        QFETCH(bool, refused);
        Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
        const bool leftCantidad = left == QStringLiteral("cantidad");
        const LineEntry::Left result
            = leftCantidad ? LineEntry::leaveCantidad(cantidad, precio) : LineEntry::leavePrecio(cantidad, precio);
        QTEST(result.field, "field");
        QTEST(result.total.value_or(QStringLiteral("stays")), "total");
        QCOMPARE(result.refusal.has_value(), refused);
        // The message names what was typed, so the salesperson sees what to mend.
        if (refused)
            QVERIFY2(result.refusal->text.contains(u'\'' + (leftCantidad ? cantidad : precio) + u'\''),
                qPrintable(result.refusal->text));

        // The line as cmdGuardar would then find it.
        QStringList line(column(OrderColumn::Count));
        line[column(OrderColumn::Cantidad)] = leftCantidad ? result.field : cantidad;
        line[column(OrderColumn::PUnitario)] = leftCantidad ? precio : result.field;
        const std::optional<LineEntry::Refusal> notAdded = LineEntry::refusal(line);
        QTEST(!notAdded                                         ? S("yes")
                : notAdded->field == LineEntry::Field::Cantidad ? S("cantidad")
                                                                : S("precio"),
            "added");
    }

    void totals_data()
    {
        QTest::addColumn<QStringList>("quantities");
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("money");
        using L = QStringList;
        row("no lines", L{}, L{}, S("0"), S("0,00"));
        row("two lines", L{"2", "3"}, L{"1.234,50", "0,50"}, S("5"), S("1.235,00"));
        row("an amount left blank adds nothing", L{"1", "4"}, L{"", "10,00"}, S("5"), S("10,00"));
        row("an amount that is not a number", L{"1"}, L{"abc"}, S("1"), S("0,00"));
        row("negative quantity", L{"5", "-2"}, L{"5,00", "-2,00"}, S("3"), S("3,00"));
        row("up to the 32-bit limit", L{"2147483646", "1"}, L{"1,00", "1,00"}, S("2147483647"), S("2,00"));
        // The count stops short of the range rather than wrapping; the money still counts.
        row("past the 32-bit limit", L{"2147483647", "1"}, L{"1,00", "1,00"}, S("2147483647"), S("2,00"));
    }

    void totals()
    {
        QFETCH(QStringList, quantities);
        QFETCH(QStringList, amounts);
        Regional::setCurrent(Regional::commaDayFirst());
        const OrderTotals totals = OrderTotals::of(quantities, amounts);
        QTEST(totals.itemsText(), "items");
        QTEST(totals.moneyText(), "money");
    }

    // A reply is taken only when it reads wholly as a number by the machine's rules, above zero.
    void exchangeRateReply_data()
    {
        QTest::addColumn<bool>("point"); // the point-decimal, month-first setting
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("caption"); // the rate taken, or "keep", or a piece of the refusal
        const bool c = false, p = true;
        row("comma machine, comma reply", c, S("3,15"), S("3,15"));
        row("comma machine, grouped", c, S("1.234,5"), S("1234,5"));
        row("point machine, grouped", p, S("1,234.5"), S("1234.5"));
        row("comma machine, point reply", c, S("2.85"), S("'2.85' no es un número (por ejemplo: 1.234,50)"));
        row("comma machine, English grouping", c, S("1,234.5"), S("'1,234.5' no es un número"));
        row("point machine, comma reply", p, S("1.234,5"), S("'1.234,5' no es un número (por ejemplo: 1,234.50)"));
        row("letters after the number", c, S("3,15 pesos"), S("no es un número"));
        row("zero", c, S("0"), S("debe ser mayor que cero, no '0'"));
        row("below zero", c, S("-3"), S("debe ser mayor que cero"));
        row("too large", c, S("1e999"), S("no es un número"));
        row("cancel", c, S(""), S("keep"));
    }

    void exchangeRateReply()
    {
        QFETCH(bool, point);
        QFETCH(QString, reply);
        QFETCH(QString, caption);
        Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
        const ExchangeRate::Reading reading = ExchangeRate::read(reply);
        using Kind = ExchangeRate::Reading::Kind;
        if (reading.kind == Kind::Refuse)
            QVERIFY2(reading.refusal.contains(caption), qPrintable(reading.refusal));
        else
            QCOMPARE(reading.kind == Kind::Keep ? S("keep") : ExchangeRate::caption(reading.rate), caption);
        // Accepting the proposed reply unchanged keeps the rate.
        if (reading.kind == Kind::Take)
            QCOMPARE(ExchangeRate::read(ExchangeRate::proposed(caption)).rate, reading.rate);
    }
};

QTEST_GUILESS_MAIN(tst_OrderRules)
#include "tst_orderrules.moc"
