#include "base/regional.h"

#include <QtTest>

Q_DECLARE_METATYPE(Regional::Settings)

static const Regional::Settings comma = Regional::commaDayFirst();
static const Regional::Settings point = Regional::pointMonthFirst();

class tst_Regional : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Regional::setCurrent(comma); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("comma stops") << "1,5" << 1.0;
        QTest::newRow("letters first") << "abc" << 0.0;
        QTest::newRow("blanks anywhere") << " 1 2\t3\n4" << 1234.0;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("overflow reads as nothing") << "1e999" << 0.0;
        QTest::newRow("carriage return is not a blank") << "\r5" << 0.0;
    }

    // The same under both settings: the leading number never follows the regional ones.
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        for (const auto &settings : {comma, point}) {
            Regional::setCurrent(settings);
            QCOMPARE(Regional::leadingNumber(text), expected);
        }
    }

    // A null expected value means the text is refused. A quantity must be written as a whole
    // number, so that what is counted and stored is what its total was computed from.
    void toNumber_data()
    {
        QTest::addColumn<Regional::Settings>("settings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QVariant>("whole");
        const QVariant none;
        QTest::newRow("comma grouped") << comma << "1.234,50" << QVariant(1234.5) << none;
        QTest::newRow("comma: grouped whole") << comma << "1.000" << QVariant(1000.0) << none;
        QTest::newRow("comma: point badly placed") << comma << "3.15" << none << none;
        QTest::newRow("comma: signed, blanks around") << comma << " -3 " << QVariant(-3.0) << QVariant(-3);
        QTest::newRow("comma: empty") << comma << "" << none << none;
        QTest::newRow("comma: trailing letters") << comma << "12abc" << none << none;
        QTest::newRow("comma: exponent") << comma << "1,5E3" << QVariant(1500.0) << none;
        QTest::newRow("comma: beyond 32 bits") << comma << "3000000000" << QVariant(3e9) << none;
        QTest::newRow("point decimal") << point << "3.15" << QVariant(3.15) << none;
        QTest::newRow("point: 32-bit top") << point << "2147483647" << QVariant(2147483647.0) << QVariant(2147483647);
        QTest::newRow("point: too large") << point << "1e400" << none << none;
    }

    void toNumber()
    {
        QFETCH(Regional::Settings, settings);
        QFETCH(QString, text);
        Regional::setCurrent(settings);
        const std::optional<double> number = Regional::toNumber(text);
        QTEST(number ? QVariant(*number) : QVariant(), "expected");
        const std::optional<qint32> whole = Regional::wholeNumber(text);
        QTEST(whole ? QVariant(*whole) : QVariant(), "whole");
    }

    // A null expected value means the number does not fit.
    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QVariant>("expected16");
        QTest::addColumn<QVariant>("expected32");
        const QVariant none;
        QTest::newRow("2.5 to even") << 2.5 << QVariant(2) << QVariant(2);
        QTest::newRow("3.5 to even") << 3.5 << QVariant(4) << QVariant(4);
        QTest::newRow("-2.5 to even") << -2.5 << QVariant(-2) << QVariant(-2);
        QTest::newRow("16-bit top") << 32767.0 << QVariant(32767) << QVariant(32767);
        QTest::newRow("16-bit overflow") << 32768.0 << none << QVariant(32768);
        QTest::newRow("16-bit bottom") << -32768.4 << QVariant(-32768) << QVariant(-32768);
        QTest::newRow("32-bit top") << 2147483647.4 << none << QVariant(2147483647);
        QTest::newRow("32-bit overflow by rounding") << 2147483647.5 << none << none;
        QTest::newRow("32-bit bottom") << -2147483648.0 << none << QVariant(int(-2147483647 - 1));
        QTest::newRow("not a number") << qQNaN() << none << none;
    }

    void rounding()
    {
        QFETCH(double, value);
        const auto small = Regional::toInt16(value);
        QTEST(small ? QVariant(int(*small)) : QVariant(), "expected16");
        const auto large = Regional::toInt32(value);
        QTEST(large ? QVariant(int(*large)) : QVariant(), "expected32");
    }

    void formatting_data()
    {
        QTest::addColumn<Regional::Settings>("settings");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("standard");
        QTest::newRow("comma grouped") << comma << "1234,5" << 1234.5 << "1.234,50";
        QTest::newRow("comma fifteen digits") << comma << "0,333333333333333" << (1.0 / 3.0) << "0,33";
        QTest::newRow("comma negative") << comma << "-0,5" << -0.5 << "-0,50";
        QTest::newRow("comma tiny negative shows zero") << comma << "-0,001" << -0.001 << "0,00";
        // Halves round away from zero as the value reads, whatever its binary neighbour.
        QTest::newRow("comma 2.675 up") << comma << "2,675" << 2.675 << "2,68";
        QTest::newRow("comma 3.335 up") << comma << "3,335" << 3.335 << "3,34";
        QTest::newRow("comma half a cent") << comma << "0,005" << 0.005 << "0,01";
        QTest::newRow("comma carry into thousands") << comma << "999,995" << 999.995 << "1.000,00";
        QTest::newRow("point 1.005 up") << point << "1.005" << 1.005 << "1.01";
        QTest::newRow("point exact half up") << point << "0.125" << 0.125 << "0.13";
        QTest::newRow("point negative half away") << point << "-2.675" << -2.675 << "-2.68";
        QTest::newRow("point below half") << point << "2.67499" << 2.67499 << "2.67";
        QTest::newRow("point grouped") << point << "1234.5" << 1234.5 << "1,234.50";
        QTest::newRow("point rounds up a digit") << point << "999.999" << 999.999 << "1,000.00";
        QTest::newRow("point large") << point << "1E+20" << 1e20 << "100,000,000,000,000,000,000.00";
    }

    void formatting()
    {
        QFETCH(Regional::Settings, settings);
        QFETCH(double, value);
        Regional::setCurrent(settings);
        QTEST(Regional::plainNumber(value), "plain");
        QTEST(Regional::standard(value), "standard");
    }

    // Reading a date, and when "shown" is given, writing it back as a short date.
    void dates_data()
    {
        QTest::addColumn<Regional::Settings>("settings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::addColumn<QString>("shown");
        const QDate none;
        QTest::newRow("month first") << point << "08/20/2004" << QDate(2004, 8, 20) << "08/20/2004";
        QTest::newRow("single digits") << comma << "6/1/2026" << QDate(2026, 1, 6) << "06/01/2026";
        QTest::newRow("two-digit year 04") << comma << "20/08/04" << QDate(2004, 8, 20) << "";
        QTest::newRow("two-digit year 45") << comma << "20/08/45" << QDate(1945, 8, 20) << "";
        QTest::newRow("month 13 month first") << point << "13/01/2026" << none << "";
    }

    void dates()
    {
        QFETCH(Regional::Settings, settings);
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QFETCH(QString, shown);
        Regional::setCurrent(settings);
        const std::optional<QDate> date = Regional::toDate(text);
        QCOMPARE(date.has_value(), expected.isValid());
        QCOMPARE(date.value_or(QDate()), expected);
        if (!shown.isEmpty())
            QCOMPARE(Regional::shortDate(expected), shown);
    }

    void settingsFromLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QChar>("decimal");
        QTest::addColumn<QString>("dateFormat");
        QTest::newRow("Spanish, Paraguay") << "es_PY" << QChar(',') << "dd/MM/yyyy";
        QTest::newRow("English, US") << "en_US" << QChar('.') << "MM/dd/yyyy";
    }

    void settingsFromLocale()
    {
        QFETCH(QString, locale);
        const Regional::Settings settings = Regional::fromLocale(QLocale(locale));
        QTEST(settings.decimalPoint, "decimal");
        QTEST(settings.shortDateFormat, "dateFormat");
        QVERIFY(settings.groupSeparator != settings.decimalPoint);
    }
};

QTEST_GUILESS_MAIN(tst_Regional)
#include "tst_regional.moc"
