#include "base/ordernumber.h"
#include "base/regional.h"

#include <QtTest>

// The one reading of an order number's text, and what follows it.
class tst_OrderNumber : public QObject
{
    Q_OBJECT

private slots:
    void readingAndNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // plainText: the number's digits, or the text when it holds none
        QTest::addColumn<QString>("next"); // "-": no number, or none after it
        QTest::newRow("plain") << "15"
                               << "15"
                               << "16";
        QTest::newRow("blanks anywhere, letters after") << " 1 5abc"
                                                        << "15"
                                                        << "16";
        QTest::newRow("no number at all") << "abc"
                                          << "0"
                                          << "1";
        QTest::newRow("empty") << ""
                               << "0"
                               << "1";
        QTest::newRow("point fraction dropped") << "15.5"
                                                << "15"
                                                << "16";
        QTest::newRow("comma stops") << "15,5"
                                     << "15"
                                     << "16";
        QTest::newRow("exponent") << "1.5e3"
                                  << "1500"
                                  << "1501";
        QTest::newRow("negative fraction") << "-0.5"
                                           << "0"
                                           << "1";
        QTest::newRow("last with a next") << "2147483646"
                                          << "2147483646"
                                          << "2147483647";
        QTest::newRow("highest") << "2147483647.9"
                                 << "2147483647"
                                 << "-";
        QTest::newRow("beyond 32 bits") << " 2147483648 "
                                        << "2147483648"
                                        << "-";
        QTest::newRow("below 32 bits") << "-2147483649"
                                       << "-2147483649"
                                       << "-";
        QTest::newRow("beyond a double") << "1e999"
                                         << "1e999"
                                         << "-";
    }

    // The regional settings play no part.
    void readingAndNext()
    {
        QFETCH(QString, text);
        for (const Regional::Settings &settings : {Regional::commaDayFirst(), Regional::pointMonthFirst()}) {
            Regional::setCurrent(settings);
            QTEST(OrderNumber::plainText(text), "kept");
            const std::optional<OrderNumber> number = OrderNumber::read(text);
            const std::optional<OrderNumber> next = number ? number->next() : std::nullopt;
            QTEST(next ? next->text() : QStringLiteral("-"), "next");
        }
    }
};

QTEST_GUILESS_MAIN(tst_OrderNumber)
#include "tst_ordernumber.moc"
