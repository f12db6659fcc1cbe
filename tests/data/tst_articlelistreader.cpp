#include "data/articlelistreader.h"

#include <QtTest>

using Status = ArticleListReader::Status;

class tst_ArticleListReader : public QObject
{
    Q_OBJECT

private slots:
    void readsRecords_data();
    void readsRecords();
    void shortLastRecordIsIncomplete_data();
    void shortLastRecordIsIncomplete();
    void unclosedQuoteIsMarked();
    void decodesBothCodePages_data();
    void decodesBothCodePages();
};

namespace {

// All records of a text, each as its six fields joined by '|'.
QStringList readAll(const QString &text, Status *last = nullptr)
{
    ArticleListReader reader(text);
    ArticleListRecord record;
    QStringList records;
    Status status;
    while ((status = reader.next(record)) == Status::Record)
        records.append(QStringList(record.fields.begin(), record.fields.end()).join(QLatin1Char('|')));
    if (last)
        *last = status;
    return records;
}

} // namespace

void tst_ArticleListReader::readsRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("quoted and bare, LF") << "\"A-1\",\"F1\",\"Caño 1/2\",120,\"15,50\",20/08/2004\n"
                                         << QStringList{"A-1|F1|Caño 1/2|120|15,50|20/08/2004"};
    QTest::newRow("CRLF") << "\"A\",\"B\",\"C\",1,\"2\",01/01/2004\r\n\"D\",\"E\",\"F\",3,\"4\",02/01/2004\r\n"
                          << QStringList{"A|B|C|1|2|01/01/2004", "D|E|F|3|4|02/01/2004"};
    QTest::newRow("lone CR") << "A,B,C,1,2,3\rD,E,F,4,5,6" << QStringList{"A|B|C|1|2|3", "D|E|F|4|5|6"};
    QTest::newRow("no final line end") << "A,B,C,1,2,3" << QStringList{"A|B|C|1|2|3"};
    QTest::newRow("commas inside quotes") << "\"A,1\",\"x, y, z\",\"d\",1,\"1.234,56\",1/1/2004\n"
                                          << QStringList{"A,1|x, y, z|d|1|1.234,56|1/1/2004"};
    QTest::newRow("blanks before fields skipped") << "  A,\t B ,   \"  C\",  7 ,\" 8\", 1/1/2004\n"
                                                  << QStringList{"A|B |  C|7 | 8|1/1/2004"};
    QTest::newRow("empty fields") << ",,,,,\n" << QStringList{"|||||"};
    QTest::newRow("blank lines skipped") << "\n   \r\nA,B,C,1,2,3\n\n\t\nD,E,F,4,5,6\n\n"
                                         << QStringList{"A|B|C|1|2|3", "D|E|F|4|5|6"};
    QTest::newRow("a record over two lines") << "A,B,C\n1,2,3\n" << QStringList{"A|B|C|1|2|3"};
    QTest::newRow("seven fields shift the next record") << "A,B,C,1,2,3,X\nD,E,F,4,5\n"
                                                        << QStringList{"A|B|C|1|2|3", "X|D|E|F|4|5"};
    QTest::newRow("empty text") << "" << QStringList{};
}

void tst_ArticleListReader::readsRecords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    Status last;
    QCOMPARE(readAll(text, &last), expected);
    QCOMPARE(last, Status::End);
}

void tst_ArticleListReader::shortLastRecordIsIncomplete_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("firstField");
    QTest::newRow("three fields") << "A,B,C,1,2,3\nD,E,F\n" << 1 << 2 << "D";
    QTest::newRow("five fields, no line end") << "A,B,C,1,2,3\r\n\r\nD,E,F,4,5" << 1 << 3 << "D";
    QTest::newRow("only a code") << "\"Z\"" << 0 << 1 << "Z";
}

void tst_ArticleListReader::shortLastRecordIsIncomplete()
{
    QFETCH(QString, text);
    QFETCH(int, records);
    QFETCH(int, line);
    QFETCH(QString, firstField);
    ArticleListReader reader(text);
    ArticleListRecord record;
    for (int i = 0; i < records; ++i)
        QCOMPARE(reader.next(record), Status::Record);
    QCOMPARE(reader.next(record), Status::Incomplete);
    QCOMPARE(record.line, line);
    QCOMPARE(record.fields[0], firstField);
    QCOMPARE(reader.next(record), Status::End);
}

void tst_ArticleListReader::unclosedQuoteIsMarked()
{
    ArticleListReader reader(QStringLiteral("\"A,B,C,1,2,3\n\"E\",\"F\",\"G\",1,\"2\",3\n"));
    ArticleListRecord record;
    // The open quote ends at the line end; the record takes fields from the next line.
    QCOMPARE(reader.next(record), Status::Record);
    QVERIFY(record.unclosedQuote);
    QCOMPARE(record.fields[0], QStringLiteral("A,B,C,1,2,3"));
    QCOMPARE(record.fields[1], QStringLiteral("E"));
}

void tst_ArticleListReader::decodesBothCodePages_data()
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
}

void tst_ArticleListReader::decodesBothCodePages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(ArticleListReader::decode(bytes), expected);
}

QTEST_GUILESS_MAIN(tst_ArticleListReader)
#include "tst_articlelistreader.moc"
