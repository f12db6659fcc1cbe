#include "app/regional.h"

#include <QtTest>

Q_DECLARE_METATYPE(Regional::Settings)

namespace {

const Regional::Settings comma = Regional::commaDayFirst();
const Regional::Settings point = Regional::pointMonthFirst();

} // namespace

class tst_Regional : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(comma); }
    void cleanup() { Regional::setCurrent(comma); }

    void leadingNumber_data();
    void leadingNumber();
    void toNumber_data();
    void toNumber();
    void rounding_data();
    void rounding();
    void plainNumber_data();
    void plainNumber();
    void standard_data();
    void standard();
    void shortDate_data();
    void shortDate();
    void toDate_data();
    void toDate();
    void settingsFromLocale_data();
    void settingsFromLocale();
};

void tst_Regional::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << "15" << 15.0;
    QTest::newRow("point decimal") << "2.85" << 2.85;
    QTest::newRow("comma stops") << "1,5" << 1.0;
    QTest::newRow("letters first") << "abc" << 0.0;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("blanks anywhere") << " 1 2\t3\n4" << 1234.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("sign then blank") << "- 7.5" << -7.5;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("overflow reads as nothing") << "1e999" << 0.0;
    QTest::newRow("carriage return is not a blank") << "\r5" << 0.0;
}

void tst_Regional::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    for (const auto &settings : {comma, point}) {
        Regional::setCurrent(settings);
        QCOMPARE(Regional::leadingNumber(text), expected);
    }
}

void tst_Regional::toNumber_data()
{
    QTest::addColumn<Regional::Settings>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");
    QTest::newRow("comma decimal") << comma << "3,15" << true << 3.15;
    QTest::newRow("comma grouped") << comma << "1.234,50" << true << 1234.5;
    QTest::newRow("comma two groups") << comma << "-1.234.567" << true << -1234567.0;
    QTest::newRow("comma: point is grouping, badly placed") << comma << "3.15" << false << 0.0;
    QTest::newRow("comma: blanks around") << comma << "  27 " << true << 27.0;
    QTest::newRow("comma: empty") << comma << "" << false << 0.0;
    QTest::newRow("comma: letters") << comma << "abc" << false << 0.0;
    QTest::newRow("comma: trailing letters") << comma << "12abc" << false << 0.0;
    QTest::newRow("comma: lone separator") << comma << "," << false << 0.0;
    QTest::newRow("comma: exponent") << comma << "1,5E3" << true << 1500.0;
    QTest::newRow("point decimal") << point << "3.15" << true << 3.15;
    QTest::newRow("point grouped") << point << "1,234.50" << true << 1234.5;
    QTest::newRow("point: comma misplaced") << point << "3,15" << false << 0.0;
    QTest::newRow("point: plus sign") << point << "+8" << true << 8.0;
    QTest::newRow("point: too large") << point << "1e400" << false << 0.0;
}

void tst_Regional::toNumber()
{
    QFETCH(Regional::Settings, settings);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    Regional::setCurrent(settings);
    const std::optional<double> number = Regional::toNumber(text);
    QCOMPARE(number.has_value(), ok);
    if (ok)
        QCOMPARE(*number, expected);
}

void tst_Regional::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits16");
    QTest::addColumn<int>("expected16");
    QTest::addColumn<bool>("fits32");
    QTest::addColumn<qint64>("expected32");
    QTest::newRow("2.5 to even") << 2.5 << true << 2 << true << qint64(2);
    QTest::newRow("3.5 to even") << 3.5 << true << 4 << true << qint64(4);
    QTest::newRow("-2.5 to even") << -2.5 << true << -2 << true << qint64(-2);
    QTest::newRow("2.51 up") << 2.51 << true << 3 << true << qint64(3);
    QTest::newRow("16-bit top") << 32767.0 << true << 32767 << true << qint64(32767);
    QTest::newRow("16-bit overflow") << 32768.0 << false << 0 << true << qint64(32768);
    QTest::newRow("16-bit bottom") << -32768.4 << true << -32768 << true << qint64(-32768);
    QTest::newRow("32-bit top") << 2147483647.4 << false << 0 << true << qint64(2147483647);
    QTest::newRow("32-bit overflow by rounding") << 2147483647.5 << false << 0 << false << qint64(0);
    QTest::newRow("32-bit bottom") << -2147483648.0 << false << 0 << true << qint64(-2147483648LL);
    QTest::newRow("not a number") << qQNaN() << false << 0 << false << qint64(0);
}

void tst_Regional::rounding()
{
    QFETCH(double, value);
    QFETCH(bool, fits16);
    QFETCH(int, expected16);
    QFETCH(bool, fits32);
    QFETCH(qint64, expected32);
    const auto small = Regional::toInt16(value);
    QCOMPARE(small.has_value(), fits16);
    if (fits16)
        QCOMPARE(int(*small), expected16);
    const auto large = Regional::toInt32(value);
    QCOMPARE(large.has_value(), fits32);
    if (fits32)
        QCOMPARE(qint64(*large), expected32);
}

void tst_Regional::plainNumber_data()
{
    QTest::addColumn<Regional::Settings>("settings");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma whole") << comma << 27.0 << "27";
    QTest::newRow("comma fraction") << comma << 3.15 << "3,15";
    QTest::newRow("comma twelve and a half") << comma << 12.5 << "12,5";
    QTest::newRow("comma no grouping") << comma << 1500.0 << "1500";
    QTest::newRow("comma fifteen digits") << comma << (1.0 / 3.0) << "0,333333333333333";
    QTest::newRow("comma negative") << comma << -0.5 << "-0,5";
    QTest::newRow("point fraction") << point << 3.15 << "3.15";
    QTest::newRow("point zero") << point << 0.0 << "0";
    QTest::newRow("point large") << point << 1e20 << "1E+20";
}

void tst_Regional::plainNumber()
{
    QFETCH(Regional::Settings, settings);
    QFETCH(double, value);
    QFETCH(QString, expected);
    Regional::setCurrent(settings);
    QCOMPARE(Regional::plainNumber(value), expected);
    QCOMPARE(Regional::plainInteger(-42), QStringLiteral("-42"));
}

void tst_Regional::standard_data()
{
    QTest::addColumn<Regional::Settings>("settings");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma grouped") << comma << 1234.5 << "1.234,50";
    QTest::newRow("comma zero") << comma << 0.0 << "0,00";
    QTest::newRow("comma below one") << comma << 0.5 << "0,50";
    QTest::newRow("comma millions") << comma << 1234567.891 << "1.234.567,89";
    QTest::newRow("comma negative") << comma << -1234.5 << "-1.234,50";
    QTest::newRow("comma tiny negative shows zero") << comma << -0.001 << "0,00";
    QTest::newRow("point grouped") << point << 1234.5 << "1,234.50";
    QTest::newRow("point zero") << point << 0.0 << "0.00";
    QTest::newRow("point exactly three digits") << point << 999.999 << "1,000.00";
}

void tst_Regional::standard()
{
    QFETCH(Regional::Settings, settings);
    QFETCH(double, value);
    QFETCH(QString, expected);
    Regional::setCurrent(settings);
    QCOMPARE(Regional::standard(value), expected);
}

void tst_Regional::shortDate_data()
{
    QTest::addColumn<Regional::Settings>("settings");
    QTest::addColumn<QString>("expected");
    QTest::newRow("day first") << comma << "20/08/2004";
    QTest::newRow("month first") << point << "08/20/2004";
}

void tst_Regional::shortDate()
{
    QFETCH(Regional::Settings, settings);
    QFETCH(QString, expected);
    Regional::setCurrent(settings);
    QCOMPARE(Regional::shortDate(QDate(2004, 8, 20)), expected);
    QCOMPARE(Regional::toDate(expected), QDate(2004, 8, 20));
    QCOMPARE(Regional::shortDate(QDate(2026, 1, 5)).size(), 10);
}

void tst_Regional::toDate_data()
{
    QTest::addColumn<Regional::Settings>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("day first") << comma << "06/12/2026" << QDate(2026, 12, 6);
    QTest::newRow("single digits") << comma << "6/1/2026" << QDate(2026, 1, 6);
    QTest::newRow("dashes") << comma << "06-12-2026" << QDate(2026, 12, 6);
    QTest::newRow("two-digit year 04") << comma << "20/08/04" << QDate(2004, 8, 20);
    QTest::newRow("two-digit year 45") << comma << "20/08/45" << QDate(1945, 8, 20);
    QTest::newRow("month first") << point << "12/06/2026" << QDate(2026, 12, 6);
    QTest::newRow("no such day") << comma << "31/02/2026" << QDate();
    QTest::newRow("month 13") << comma << "01/13/2026" << QDate();
    QTest::newRow("month 13 month first") << point << "13/01/2026" << QDate();
    QTest::newRow("letters") << comma << "hoy" << QDate();
    QTest::newRow("two parts") << comma << "06/12" << QDate();
    QTest::newRow("four parts") << comma << "06/12/20/26" << QDate();
    QTest::newRow("empty") << comma << "" << QDate();
    QTest::newRow("three-digit year") << comma << "06/12/202" << QDate();
}

void tst_Regional::toDate()
{
    QFETCH(Regional::Settings, settings);
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    Regional::setCurrent(settings);
    const std::optional<QDate> date = Regional::toDate(text);
    QCOMPARE(date.has_value(), expected.isValid());
    if (date)
        QCOMPARE(*date, expected);
}

void tst_Regional::settingsFromLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<QString>("dateFormat");
    QTest::newRow("Spanish, Spain") << "es_ES" << QChar(',') << "dd/MM/yyyy";
    QTest::newRow("Spanish, Paraguay") << "es_PY" << QChar(',') << "dd/MM/yyyy";
    QTest::newRow("English, US") << "en_US" << QChar('.') << "MM/dd/yyyy";
    QTest::newRow("German") << "de_DE" << QChar(',') << "dd.MM.yyyy";
    QTest::newRow("ISO order") << "sv_SE" << QChar(',') << "yyyy-MM-dd";
}

void tst_Regional::settingsFromLocale()
{
    QFETCH(QString, locale);
    QFETCH(QChar, decimal);
    QFETCH(QString, dateFormat);
    const Regional::Settings settings = Regional::fromLocale(QLocale(locale));
    QCOMPARE(settings.decimalPoint, decimal);
    QCOMPARE(settings.shortDateFormat, dateFormat);
    QVERIFY(settings.groupSeparator != settings.decimalPoint);
}

QTEST_GUILESS_MAIN(tst_Regional)
#include "tst_regional.moc"
