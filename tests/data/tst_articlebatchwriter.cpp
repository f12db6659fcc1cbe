#include "data/articlebatchwriter.h"
#include "data/connection.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_ArticleBatchWriter : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_db.emplace().isValid());
        QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
        m_dialogs.clear();
    }
    void cleanup() { acnDataBase().close(); }
    void commitsEachFullBatchAndTheLastOnLeaving()
    {
        {
            ArticleBatchWriter writer(m_routines, {}, 3);
            writer.store(article("A"), 1);
            writer.store(article("B"), 2);
            QCOMPARE(stored(), 0); // another connection sees nothing of an open batch...
            writer.store(article("C"), 3);
            QCOMPARE(stored(), 3); // ...and the whole batch once it is full
            writer.store(article("A", 7), 4);
            // A code is looked up exactly: these are new articles.
            writer.store(article("a"), 5);
            writer.store(article("A "), 6);
            writer.store(article("D"), 7);
        }
        QCOMPARE(stored(), 6);
        QCOMPARE(m_db->scalar("SELECT STK_ACTUAL || FECHA_ACT FROM ARTICULOS WHERE COD_ART = 'A'").toString(),
            "72004-08-20");
    }

    void givenUpArticleIsReportedWithItsTag()
    {
        QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART) VALUES ('Y')"));
        QVERIFY(m_db->exec("CREATE TRIGGER refuse BEFORE INSERT ON ARTICULOS WHEN NEW.COD_ART = 'X' "
                           "BEGIN SELECT RAISE(ABORT, 'no'); END"));
        QVERIFY(m_db->exec("CREATE TRIGGER keep BEFORE UPDATE ON ARTICULOS WHEN NEW.COD_ART = 'Y' "
                           "BEGIN SELECT RAISE(ABORT, 'no se cambia'); END"));
        QList<std::pair<ArticleBatchWriter::Write, int>> givenUp;
        ArticleBatchWriter::Listener listener;
        listener.givenUp = [&](ArticleBatchWriter::Write write, int tag) { givenUp.append({write, tag}); };
        ArticleBatchWriter writer(m_routines, listener, 10);
        writer.store(article("A"), 10);
        m_dialogs.answerMessage(Dialogs::Cancel).answerMessage(Dialogs::Cancel);
        writer.store(article("X"), 20);
        QCOMPARE(stored(), 2); // the batch before the failure was committed before the box came up
        writer.store(article("B"), 30);
        writer.store(article("Y"), 40);
        writer.finish();
        QCOMPARE(stored(), 3);
        QCOMPARE(givenUp,
            (QList<std::pair<ArticleBatchWriter::Write, int>>{
                {ArticleBatchWriter::Write::Insert, 20}, {ArticleBatchWriter::Write::Update, 40}}));
        // The box is the one AgregoArticulo shows for the same failure.
        m_dialogs.answerMessage(Dialogs::Cancel);
        QVERIFY(!m_routines.AgregoArticulo(article("X")));
        const QList<Dialogs::Message> boxes = m_dialogs.messages();
        QCOMPARE(boxes[0].text, boxes[2].text);
        QCOMPARE(boxes[0].title, boxes[2].title);
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
    }

    // A failure that makes the engine throw the open batch away: the articles before it are
    // written again, one by one, once a retry finds the fault gone.
    void lostBatchIsWrittenAgain()
    {
        QVERIFY(m_db->exec("CREATE TABLE FAULT (ARMED INTEGER)"));
        QVERIFY(m_db->exec("INSERT INTO FAULT VALUES (1)"));
        QVERIFY(m_db->exec("CREATE TRIGGER lose BEFORE INSERT ON ARTICULOS WHEN NEW.COD_ART = 'C' AND "
                           "(SELECT ARMED FROM FAULT) = 1 BEGIN SELECT RAISE(ROLLBACK, 'perdido'); END"));
        // The first retry still fails; the second finds the fault gone.
        m_dialogs.answerMessage(Dialogs::Retry).answerMessage(Dialogs::Retry, [] {
            QVERIFY(!acnDataBase().execute(QStringLiteral("UPDATE FAULT SET ARMED = 0")));
        });
        {
            ArticleBatchWriter writer(m_routines, {}, 10);
            for (int stock : {1, 2, 3, 4})
                writer.store(article(QString(QChar('A' + stock - 1)), stock), stock);
        }
        QCOMPARE(m_db->scalar("SELECT COUNT(*) || '/' || SUM(STK_ACTUAL) FROM ARTICULOS").toString(), "4/10");
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
    }

private:
    int stored() const { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")).toInt(); }
    static ArticleRecord article(const QString &code, qint32 stock = 1)
    {
        return {code, "p", "d", stock, 2.5, QDate(2004, 8, 20)};
    }

    std::optional<TestDatabase> m_db; // a fresh one for each test
    ScriptedDialogs m_dialogs;
    const StoredRoutines m_routines{acnDataBase(), m_dialogs};
};

QTEST_GUILESS_MAIN(tst_ArticleBatchWriter)
#include "tst_articlebatchwriter.moc"
