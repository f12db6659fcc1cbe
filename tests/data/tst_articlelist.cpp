#include "base/regional.h"
#include "data/articlelist.h"

#include <QtTest>

// The list's conversions, where the import and server-load take them from: each record's stock,
// price and date as the catalogue stores them, or the line and reason it is left out with.
class tst_ArticleList : public QObject
{
    Q_OBJECT

private slots:
    void convertsOrLeavesOut_data()
    {
        QTest::addColumn<bool>("commaDecimal");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // stock|price|date stored, or the problem
        const auto row = [](const char *name, bool comma, const char *text, const char *expected) {
            QTest::newRow(name) << comma << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("stock rounded", true, "A,p,d,12.7,\"1\",1/1/2004", "13|1|2004-01-01");
        row("stock half rounded to even, down", true, "A,p,d,12.5,\"1\",1/1/2004", "12|1|2004-01-01");
        row("stock half rounded to even, up", true, "A,p,d,13.5,\"1\",1/1/2004", "14|1|2004-01-01");
        row("stock without a number", true, "A,p,d,abc,\"1\",1/1/2004", "0|1|2004-01-01");
        row("stock by its leading number", true, "A,p,d,\"12,7\",\"1\",1/1/2004", "12|1|2004-01-01");
        row("comma decimal, day first", true, "A,p,d,1,\"1.234,5\",20/08/2004", "1|1234.5|2004-08-20");
        row("point decimal, month first", false, "A,p,d,1,\"1,234.5\",8/20/2004", "1|1234.5|2004-08-20");
        row("price not a number", true, "A,p,d,1,\"abc\",1/1/2004", "Línea 1: el precio «abc» no es un número");
        row("date not a date", true, "\nA,p,d,1,\"2\",31/13/2004",
            "Línea 2: la fecha «31/13/2004» no es una fecha válida");
        row("stock out of range", true, "A,p,d,1e12,\"2\",1/1/2004",
            "Línea 1: la existencia «1e12» está fuera de rango");
        row("stock beyond any number", true, "A,p,d,1e400,\"2\",1/1/2004",
            "Línea 1: la existencia «1e400» está fuera de rango");
        row("quote left open", true, "\"A,p,d,1,2,1/1/2004\nB,p,d,1,2,1/1/2004",
            "Línea 1: falta cerrar las comillas de un campo");
    }

    void convertsOrLeavesOut()
    {
        QFETCH(bool, commaDecimal);
        QFETCH(QString, text);
        Regional::setCurrent(commaDecimal ? Regional::commaDayFirst() : Regional::pointMonthFirst());
        ArticleList list(text);
        ArticleRecord article;
        int line = 0;
        const bool converted = list.next(article, line);
        QCOMPARE(converted, list.problems().isEmpty());
        const ArticleList::Problem problem = list.problems().value(0);
        QTEST(converted ? QStringLiteral("%1|%2|%3")
                              .arg(article.stock)
                              .arg(article.pUnitario)
                              .arg(article.fecha.toString(Qt::ISODate))
                        : QStringLiteral("Línea %1: %2").arg(problem.line).arg(problem.reason),
            "expected");
        QVERIFY(!list.next(article, line));
    }
};

QTEST_GUILESS_MAIN(tst_ArticleList)
#include "tst_articlelist.moc"
