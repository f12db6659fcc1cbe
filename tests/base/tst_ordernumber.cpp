#include "base/ordernumber.h"

#include <QtTest>

// The one reading of an order number's text, and the number after it.
class tst_OrderNumber : public QObject
{
    Q_OBJECT

private slots:
    void readingAndNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // plainText: the number's digits, or the text when it holds none
        QTest::addColumn<QString>("next"); // "-": no number, or none after it
        const auto row = [](const char *name, const char *text, const char *kept, const char *next) {
            QTest::newRow(name) << QString(text) << QString(kept) << QString(next);
        };
        row("no number at all", "abc", "0", "1");
        row("point fraction dropped", "15.5", "15", "16");
        row("comma stops, letters after", "15,5abc", "15", "16");
        row("last with a next", "2147483646", "2147483646", "2147483647");
        row("highest", "2147483647.9", "2147483647", "-");
        row("beyond 32 bits", " 2147483648 ", "2147483648", "-");
        row("beyond a double", "1e999", "1e999", "-");
    }

    void readingAndNext()
    {
        QFETCH(QString, text);
        QTEST(OrderNumber::plainText(text), "kept");
        const std::optional<OrderNumber> number = OrderNumber::read(text);
        const std::optional<OrderNumber> next = number ? number->next() : std::nullopt;
        QTEST(next ? next->text() : QStringLiteral("-"), "next");
    }
};

QTEST_GUILESS_MAIN(tst_OrderNumber)
#include "tst_ordernumber.moc"
