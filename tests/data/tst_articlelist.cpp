#include "base/regional.h"
#include "data/articlelist.h"

#include <QtTest>

// The list's conversions, where the import and server-load take them from: each record's stock,
// price and date as the catalogue stores them, or the line and reason it is left out with; and
// a list that does not read by its format, refused whole.
class tst_ArticleList : public QObject
{
    Q_OBJECT

private slots:
    void convertsOrLeavesOut_data()
    {
        QTest::addColumn<QString>("reading"); // the list's format / the reading machine's settings
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // stock|price|date stored, or the problem
        const auto row = [](const char *name, const char *reading, const QString &text, const char *expected) {
            QTest::newRow(name) << reading << text << QString::fromUtf8(expected);
        };
        const auto u = [](const char *text) { return QString::fromUtf8(text); };
        row("stock rounded", "es/comma", u("A,p,d,12.7,\"1\",1/1/2004"), "13|1|2004-01-01");
        row("stock half rounded to even, down", "es/comma", u("A,p,d,12.5,\"1\",1/1/2004"), "12|1|2004-01-01");
        row("stock half rounded to even, up", "es/comma", u("A,p,d,13.5,\"1\",1/1/2004"), "14|1|2004-01-01");
        row("stock without a number", "es/comma", u("A,p,d,abc,\"1\",1/1/2004"), "0|1|2004-01-01");
        row("stock with the list's decimal comma", "es/point", u("A,p,d,\"12,7\",\"1\",1/1/2004"), "13|1|2004-01-01");
        // The company's own writing, whatever machine reads it.
        for (const char *reading : {"es/comma", "es/point", "es/C"})
            row(reading, reading, u("A,p,d,\"1.500\",\"1.234,5\",02/09/2004"), "1500|1234.5|2004-09-02");
        for (const char *reading : {"en/comma", "en/C"})
            row(reading, reading, u("A,p,d,\"1,500\",\"1,234.5\",8/20/2004"), "1500|1234.5|2004-08-20");
        row("price not a number", "es/comma", u("A,p,d,1,\"abc\",1/1/2004"),
            "Línea 1: el precio «abc» no es un número");
        row("date not a date", "es/comma", u("\nA,p,d,1,\"2\",31/13/2004"),
            "Línea 2: la fecha «31/13/2004» no es una fecha válida");
        row("stock out of range", "es/comma", u("A,p,d,1e12,\"2\",1/1/2004"),
            "Línea 1: la existencia «1e12» está fuera de rango");
        row("stock beyond any number", "es/comma", u("A,p,d,1e400,\"2\",1/1/2004"),
            "Línea 1: la existencia «1e400» está fuera de rango");
        row("quote left open", "es/comma", u("\"A,p,d,1,2,1/1/2004\nB,p,d,1,2,1/1/2004"),
            "Línea 1: falta cerrar las comillas de un campo");
        row("description longer than any catalogue's", "es/comma", "A,p," + QString(256, 'x') + ",1,\"2\",1/1/2004",
            "Línea 1: la descripción tiene 256 caracteres (el máximo es 255)");
        row("control character in the code", "es/comma", "N" + QString(QChar(0)) + "-2,p,d,1,\"2\",1/1/2004",
            "Línea 1: el código tiene un carácter de control (código 0) en la posición 2");
        row("a tab is no control character", "es/comma", u("A,p,\"d\te\",1,\"2\",1/1/2004"), "1|2|2004-01-01");
    }

    void convertsOrLeavesOut()
    {
        QFETCH(QString, reading);
        QFETCH(QString, text);
        const QString machine = reading.section('/', 1);
        Regional::setCurrent(machine == "comma" ? Regional::commaDayFirst()
                : machine == "point"            ? Regional::pointMonthFirst()
                                                : Regional::fromLocale(QLocale::c()));
        ArticleList list(text, *ListFormat::fromCode(reading.section('/', 0, 0)));
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

    // More than half of the prices (or dates) not read by the format: nothing of it is loaded.
    void mostlyBadListIsRefusedWhole()
    {
        const QString english = "A,p,d,1,\"1,250.5\",1/1/2004\nB,p,d,1,\"2\",1/1/2004\nC,p,d,1,\"3.5\",1/1/2004\n";
        QCOMPARE(ArticleList(english, ListFormat::es()).refusal("entrada.dat").value_or(DbError()).description,
            QStringLiteral("No se importó nada del archivo 'entrada.dat': en 2 de sus 3 registros el precio no se lee "
                           "con el formato de la lista, coma decimal, punto de miles y fechas día/mes/año (1.234,50 y "
                           "20/08/2004).\nPor ejemplo, en la línea 1 el precio «1,250.5» no es un número."));
        QVERIFY(!ArticleList(english.section('\n', 1), ListFormat::es()).refusal("entrada.dat"));
        QVERIFY(ArticleList("A,p,d,1,\"1\",20/08/2004\n", ListFormat::en()).refusal("entrada.dat"));
        // A long list is read to its end unless what is left can no longer tip it: one more bad
        // price than good ones at the end of it still refuses it.
        const QString good = QStringLiteral("A,p,d,1,\"2\",1/1/2004\n").repeated(1100);
        const QString bad = QStringLiteral("B,p,d,1,\"1,250.5\",1/1/2004\n");
        QVERIFY(ArticleList(good + bad.repeated(1101), ListFormat::es())
                    .refusal("entrada.dat")
                    .value_or(DbError())
                    .description.contains(QStringLiteral("en 1101 de sus 2201 registros el precio")));
        QVERIFY(!ArticleList(good + bad.repeated(1100), ListFormat::es()).refusal("entrada.dat"));
    }
};

QTEST_GUILESS_MAIN(tst_ArticleList)
#include "tst_articlelist.moc"
