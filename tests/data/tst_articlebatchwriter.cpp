#include "app/regional.h"
#include "data/articlebatchwriter.h"
#include "data/connection.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_ArticleBatchWriter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void findsCodesExactly();
    void commitsEachFullBatch();
    void destroyingCommitsTheOpenBatch();
    void givenUpArticleIsReportedWithItsTag();

private:
    int storedCount() const { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")).toInt(); }

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
};

namespace {

ArticleRecord article(const QString &code, qint32 stock = 1)
{
    return {code, QStringLiteral("p"), QStringLiteral("d"), stock, 2.5, QDate(2004, 8, 20)};
}

} // namespace

void tst_ArticleBatchWriter::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    m_dialogs = new ScriptedDialogs;
}

void tst_ArticleBatchWriter::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_dialogs;
    acnDataBase().close();
    delete m_db;
}

void tst_ArticleBatchWriter::findsCodesExactly()
{
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART) VALUES ('A-100'), ('O''Brien')")));
    ArticleBatchWriter writer(acnDataBase(), {});
    for (const auto &[code, expected] : {std::pair{"A-100", true}, {"a-100", false}, {"A-10", false}, {"A-100 ", false},
             {"O'Brien", true}, {"' OR '1'='1", false}}) {
        bool found = !expected;
        QVERIFY(!writer.Busco_Articulo(QString::fromUtf8(code), found));
        QCOMPARE(found, expected);
    }
}

void tst_ArticleBatchWriter::commitsEachFullBatch()
{
    ArticleBatchWriter writer(acnDataBase(), {}, 3);
    writer.store(article("A"), 1);
    writer.store(article("B"), 2);
    // Another connection sees nothing of an open batch...
    QCOMPARE(storedCount(), 0);
    writer.store(article("C"), 3);
    // ...and the whole batch once it is full.
    QCOMPARE(storedCount(), 3);
    writer.store(article("A", 7), 4);
    writer.finish();
    QCOMPARE(storedCount(), 3);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = 'A'")).toInt(), 7);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT FECHA_ACT FROM ARTICULOS WHERE COD_ART = 'A'")).toString(),
        QStringLiteral("2004-08-20"));
}

void tst_ArticleBatchWriter::destroyingCommitsTheOpenBatch()
{
    {
        ArticleBatchWriter writer(acnDataBase(), {}, 100);
        writer.store(article("A"), 1);
    }
    QCOMPARE(storedCount(), 1);
}

void tst_ArticleBatchWriter::givenUpArticleIsReportedWithItsTag()
{
    QVERIFY(m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ARTICULOS WHEN NEW.COD_ART = 'X' "
                                      "BEGIN SELECT RAISE(ABORT, 'no'); END")));
    QList<std::pair<ArticleBatchWriter::Write, int>> givenUp;
    ArticleBatchWriter writer(
        acnDataBase(),
        [&](ArticleBatchWriter::Write write, int tag) {
            givenUp.append({write, tag});
        },
        10);
    writer.store(article("A"), 10);
    m_dialogs->answerMessage(QMessageBox::Cancel);
    writer.store(article("X"), 20);
    // The batch before the failure was committed before the box came up.
    QCOMPARE(storedCount(), 1);
    writer.store(article("B"), 30);
    writer.finish();
    QCOMPARE(storedCount(), 2);
    QCOMPARE(givenUp.size(), 1);
    QCOMPARE(givenUp[0].first, ArticleBatchWriter::Write::Insert);
    QCOMPARE(givenUp[0].second, 20);
    // The box is the one AgregoArticulo shows for the same failure.
    m_dialogs->answerMessage(QMessageBox::Cancel);
    QVERIFY(!AgregoArticulo(article("X")));
    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages()[0].title, m_dialogs->messages()[1].title);
    QCOMPARE(m_dialogs->messages()[0].text, m_dialogs->messages()[1].text);
    QCOMPARE(m_dialogs->messages()[0].buttons, QMessageBox::Retry | QMessageBox::Cancel);
}

QTEST_GUILESS_MAIN(tst_ArticleBatchWriter)
#include "tst_articlebatchwriter.moc"
