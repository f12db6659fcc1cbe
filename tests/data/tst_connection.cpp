#include "data/connection.h"
#include "data/transaction.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_Connection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void likeFoldsEveryLetter_data();
    void likeFoldsEveryLetter();
    void likeEscapesAndSkipsNull();
    void boundValuesAreNeverSql();
    void transactionRollsBackUnlessCommitted();

private:
    TestDatabase *m_db = nullptr;
    Connection *m_connection = nullptr;
};

void tst_Connection::init()
{
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    m_connection = new Connection(QStringLiteral("tst"));
    QVERIFY(!m_connection->open(m_db->path()));
}

void tst_Connection::cleanup()
{
    delete m_connection;
    delete m_db;
}

void tst_Connection::likeFoldsEveryLetter_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    const auto row = [](const char *name, const char *stored, const char *pattern, bool matches) {
        QTest::newRow(name) << QString::fromUtf8(stored) << QString::fromUtf8(pattern) << matches;
    };
    row("ñandú finds ÑANDÚ", "ADHESIVO ÑANDÚ", "%ñandú%", true);
    row("upper pattern, lower text", "válvula", "VÁLVULA", true);
    row("accents are not dropped", "VÁLVULA", "valvula", false);
    row("Greek", "ΩΜΈΓΑ", "%ωμέγα%", true);
    row("underscore takes an accented letter", "AÑB", "a_b", true);
    row("underscore needs a character", "AB", "a_b", false);
    row("anchored start", "X caño", "caño%", false);
    row("quote is a character", "O'Brien", "%'b%", true);
    row("empty pattern", "algo", "", false);
    row("only percent", "", "%", true);
    row("backtracking", "aaab", "%a%ab", true);
}

void tst_Connection::likeFoldsEveryLetter()
{
    QFETCH(QString, stored);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QVERIFY(!m_connection->execute(
        QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('X', ?)"), {stored}));
    RowSet rows;
    QVERIFY(!m_connection->select(
        QStringLiteral("SELECT COD_ART FROM ARTICULOS WHERE DESCRIPCION LIKE ?"), {pattern}, rows));
    QCOMPARE(rows.count(), matches ? 1 : 0);
}

void tst_Connection::likeEscapesAndSkipsNull()
{
    QVERIFY(!m_connection->execute(QStringLiteral(
        "INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('1', '50% DTO'), ('2', '50 PESOS'), ('3', NULL)")));
    RowSet rows;
    QVERIFY(!m_connection->select(QStringLiteral("SELECT group_concat(COD_ART) AS C FROM ARTICULOS WHERE DESCRIPCION "
                                                 "LIKE ? ESCAPE '!' UNION ALL SELECT group_concat(COD_ART) FROM "
                                                 "ARTICULOS WHERE DESCRIPCION LIKE '%'"),
        {QStringLiteral("50!%%")}, rows));
    QCOMPARE(rows.text(0, QStringLiteral("C")), QStringLiteral("1"));
    QCOMPARE(rows.text(1, QStringLiteral("C")), QStringLiteral("1,2"));
}

void tst_Connection::boundValuesAreNeverSql()
{
    const QString nasty = QStringLiteral("x'); DROP TABLE CLIENTES; --");
    QVERIFY(!m_connection->execute(QStringLiteral("INSERT INTO CLIENTES (NOMBRE) VALUES (?)"), {nasty}));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(NOMBRE) FROM CLIENTES")).toString(), nasty);
}

void tst_Connection::transactionRollsBackUnlessCommitted()
{
    {
        Transaction transaction(*m_connection);
        QVERIFY(!transaction.begin());
        QVERIFY(!m_connection->execute(QStringLiteral("INSERT INTO CLIENTES (NOMBRE) VALUES ('perdido')")));
    }
    {
        Transaction transaction(*m_connection);
        QVERIFY(!transaction.begin());
        QVERIFY(!m_connection->execute(QStringLiteral("INSERT INTO CLIENTES (NOMBRE) VALUES ('guardado')")));
        QVERIFY(!transaction.commit());
    }
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(NOMBRE) FROM CLIENTES")).toString(),
        QStringLiteral("guardado"));
}

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_connection.moc"
