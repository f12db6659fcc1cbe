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
    void likeWithEscape();
    void likeWithNull();
    void boundValuesAreNeverSql();
    void transactionRollsBackUnlessCommitted();
    void databaseUsesWalJournal();

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
    QTest::newRow("ñandú finds ÑANDÚ") << "ADHESIVO ÑANDÚ"
                                       << "%ñandú%" << true;
    QTest::newRow("descripción finds DESCRIPCIÓN") << "DESCRIPCIÓN LARGA"
                                                   << "descripción%" << true;
    QTest::newRow("upper pattern, lower text") << "válvula"
                                               << "VÁLVULA" << true;
    QTest::newRow("accents are not dropped") << "VÁLVULA"
                                             << "valvula" << false;
    QTest::newRow("ascii case") << "Codo PVC"
                                << "%pvc" << true;
    QTest::newRow("underscore is one character") << "A1B"
                                                 << "a_b" << true;
    QTest::newRow("underscore takes an accented letter") << "AÑB"
                                                         << "a_b" << true;
    QTest::newRow("underscore needs a character") << "AB"
                                                  << "a_b" << false;
    QTest::newRow("percent anywhere") << "Caño de PVC 1/2\""
                                      << "%de%1/2%" << true;
    QTest::newRow("anchored start") << "X caño"
                                    << "caño%" << false;
    QTest::newRow("Greek") << "ΩΜΈΓΑ"
                           << "%ωμέγα%" << true;
    QTest::newRow("quote is a character") << "O'Brien"
                                          << "%'b%" << true;
    QTest::newRow("empty pattern") << "algo"
                                   << "" << false;
    QTest::newRow("only percent") << ""
                                  << "%" << true;
    QTest::newRow("backtracking") << "aaab"
                                  << "%a%ab" << true;
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

void tst_Connection::likeWithEscape()
{
    QVERIFY(!m_connection->execute(
        QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('1', '50% DTO'), ('2', '50 PESOS')")));
    RowSet rows;
    QVERIFY(!m_connection->select(QStringLiteral("SELECT COD_ART FROM ARTICULOS WHERE DESCRIPCION LIKE ? ESCAPE '!'"),
        {QStringLiteral("50!%%")}, rows));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.text(0, QStringLiteral("COD_ART")), QStringLiteral("1"));
}

void tst_Connection::likeWithNull()
{
    QVERIFY(!m_connection->execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('1', NULL)")));
    RowSet rows;
    QVERIFY(!m_connection->select(
        QStringLiteral("SELECT COD_ART FROM ARTICULOS WHERE DESCRIPCION LIKE ?"), {QStringLiteral("%")}, rows));
    QCOMPARE(rows.count(), 0);
}

void tst_Connection::boundValuesAreNeverSql()
{
    const QString nasty = QStringLiteral("x'); DROP TABLE CLIENTES; --");
    QVERIFY(!m_connection->execute(QStringLiteral("INSERT INTO CLIENTES (NOMBRE) VALUES (?)"), {nasty}));
    RowSet rows;
    QVERIFY(!m_connection->select(QStringLiteral("SELECT NOMBRE FROM CLIENTES"), {}, rows));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.text(0, QStringLiteral("NOMBRE")), nasty);
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

void tst_Connection::databaseUsesWalJournal()
{
    RowSet rows;
    QVERIFY(!m_connection->select(QStringLiteral("PRAGMA journal_mode"), {}, rows));
    QCOMPARE(rows.value(0, rows.columns().first()).toString(), QStringLiteral("wal"));
}

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_connection.moc"
