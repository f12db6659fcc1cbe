#include "data/articlelistreader.h"

#include <QtTest>

using Status = ArticleListReader::Status;

class tst_ArticleListReader : public QObject
{
    Q_OBJECT

private slots:
    void readsRecords_data()
    {
        QTest::addColumn<QString>("text");
        // Each record as its six fields joined by '|'; one the text cut short ends in "…incomplete,
        // line N", and one with a quote left open begins with "(open quote)".
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, const char *text, const QStringList &expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << expected;
        };
        row("quoted and bare, LF", "\"A-1\",\"F1\",\"Caño 1/2\",120,\"15,50\",20/08/2004\n",
            {"A-1|F1|Caño 1/2|120|15,50|20/08/2004"});
        row("lone CR, no final line end", "A,B,C,1,2,3\rD,E,F,4,5,6", {"A|B|C|1|2|3", "D|E|F|4|5|6"});
        row("commas inside quotes", "\"A,1\",\"x, y, z\",\"d\",1,\"1.234,56\",1/1/2004\n",
            {"A,1|x, y, z|d|1|1.234,56|1/1/2004"});
        row("blanks before fields skipped", "  A,\t B ,   \"  C\",  7 ,\" 8\", 1/1/2004\n",
            {"A|B |  C|7 | 8|1/1/2004"});
        row("empty fields", ",,,,,\n", {"|||||"});
        row("blank lines skipped", "\n   \r\nA,B,C,1,2,3\n\n\t\nD,E,F,4,5,6\n\n", {"A|B|C|1|2|3", "D|E|F|4|5|6"});
        row("a record over two lines", "A,B,C\n1,2,3\n", {"A|B|C|1|2|3"});
        row("seven fields shift the next record", "A,B,C,1,2,3,X\nD,E,F,4,5\n", {"A|B|C|1|2|3", "X|D|E|F|4|5"});
        row("cut short after a blank line", "A,B,C,1,2,3\r\n\r\nD,E,F,4,5",
            {"A|B|C|1|2|3", "D|E|F|4|5|…incomplete, line 3"});
        row("only a code", "\"Z\"", {"Z|||||…incomplete, line 1"});
        // The open quote ends at the line end; the record takes fields from the next line.
        row("quote left open", "\"A,B,C,1,2,3\n\"E\",\"F\",\"G\",1,\"2\",3\n",
            {"(open quote)A,B,C,1,2,3|E|F|G|1|2", "3|||||…incomplete, line 2"});
    }

    void readsRecords()
    {
        QFETCH(QString, text);
        ArticleListReader reader(text);
        ArticleListRecord record;
        QStringList records;
        Status status;
        while ((status = reader.next(record)) != Status::End) {
            const QString fields = QStringList(record.fields.begin(), record.fields.end()).join('|');
            records << (record.unclosedQuote ? "(open quote)" : "") + fields
                    + (status == Status::Incomplete ? QStringLiteral("…incomplete, line %1").arg(record.line) : "");
        }
        QTEST(records, "expected");
        QCOMPARE(reader.next(record), Status::End);
    }

    // The encoding is the bytes' own: the text read, or "mixed, line N" and "UTF-16", refused.
    void decodesByTheBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString accented = QStringLiteral("Caño válvula ÑANDÚ €");
        QTest::newRow("UTF-8") << accented.toUtf8() << accented;
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + accented.toUtf8() << accented;
        QTest::newRow("Windows-1252") << QByteArray("Ca\xF1o v\xE1lvula \xD1"
                                                    "AND\xDA \x80")
                                      << accented;
        QTest::newRow("UTF-8 cut in the middle of a character reads as 1252")
            << QByteArray("ab\xC3") << QStringLiteral("abÃ");
        QTest::newRow("UTF-8 with one Windows-1252 byte") << QByteArray("\"A\",\"Ca\xC3\xB1o\"\r\n\"B\",\"Ca\xF1"
                                                                        "er\xC3\xAD"
                                                                        "a\"\r\n")
                                                          << "mixed, line 2";
        QTest::newRow("UTF-16 with byte-order mark") << QByteArray("\xFF\xFE"
                                                                   "A\0,\0",
            6) << "UTF-16";
        QTest::newRow("UTF-16 without one") << QByteArray("\0A\0,\0B\0,\0C\0\n", 12) << "UTF-16";
    }

    void decodesByTheBytes()
    {
        QFETCH(QByteArray, bytes);
        const ArticleListReader::Decoded decoded = ArticleListReader::decode(bytes);
        using E = ArticleListReader::Encoding;
        QTEST(decoded.encoding == E::Mixed     ? QStringLiteral("mixed, line %1").arg(decoded.badLine)
                : decoded.encoding == E::Utf16 ? QStringLiteral("UTF-16")
                                               : decoded.text,
            "expected");
    }
};

QTEST_GUILESS_MAIN(tst_ArticleListReader)
#include "tst_articlelistreader.moc"
