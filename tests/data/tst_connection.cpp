#include "data/connection.h"
#include "data/transaction.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QFile>
#include <QtTest>

class tst_Connection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_db.isValid());
        QVERIFY_NO_ERROR(m_connection.open(m_db.path()));
    }

    void likeReadsAsSpanish_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("escape");
        QTest::addColumn<bool>("matches");
        const auto row
            = [](const char *name, const char *stored, const char *pattern, const char *escape, bool matches) {
                  QTest::newRow(name) << (stored ? QVariant(QString::fromUtf8(stored)) : QVariant())
                                      << QString::fromUtf8(pattern) << QString::fromUtf8(escape) << matches;
              };
        row("ñandú finds ÑANDÚ", "ADHESIVO ÑANDÚ", "%ñandú%", "", true);
        row("acute accent dropped", "CANCIÓN", "cancion", "", true);
        row("diaeresis dropped", "GÜERO", "guero", "", true);
        row("accented pattern, plain text", "cancion", "CANCIÓN", "", true);
        row("ñ is not n", "AÑO", "ano", "", false);
        row("combining acute", "cancio\u0301n", "canción", "", true);
        row("combining tilde makes ñ", "an\u0303o", "AÑO", "", true);
        row("other accents stay", "CAFÈ", "cafe", "", false);
        row("Greek", "ΩΜΈΓΑ", "%ωμέγα%", "", true);
        row("underscore takes ñ", "AÑB", "a_b", "", true);
        row("underscore takes a combined letter", "a\u0301b", "_b", "", true);
        row("underscore needs a character", "AB", "a_b", "", false);
        row("wildcards around accents", "LÁMPARA DE PIE", "%ampar_%pié", "", true);
        row("anchored start", "X caño", "caño%", "", false);
        row("anchored end", "caño X", "%caño", "", false);
        row("empty pattern", "algo", "", "", false);
        row("only percent", "", "%", "", true);
        row("null is never matched", nullptr, "%", "", false);
        row("backtracking", "aaab", "%a%ab", "", true);
        row("pieces do not overlap", "aaa", "%aa%aa", "", false);
        row("escaped percent", "50% DTO", "50!%%", "!", true);
        row("escaped percent is no wildcard", "50 PESOS", "50!%%", "!", false);
        row("escaped underscore, accented text", "N_ACCIÓN", "n!_accion", "!", true);
    }

    void likeReadsAsSpanish()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, pattern);
        QFETCH(QString, escape);
        QFETCH(bool, matches);
        RowSet rows;
        const QString like = QStringLiteral("SELECT 1 WHERE ? LIKE ?");
        QVERIFY_NO_ERROR(escape.isEmpty() ? m_connection.select(like, {stored, pattern}, rows)
                                          : m_connection.select(like + " ESCAPE ?", {stored, pattern, escape}, rows));
        QCOMPARE(rows.count(), matches ? 1 : 0);
    }

    void collationSortsAsSpanish_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        const auto row = [](const char *name, const char *first, const char *second) {
            QTest::newRow(name) << QString::fromUtf8(first) << QString::fromUtf8(second);
        };
        row("acute accent does not move a name", "Álvarez", "Zapata");
        row("diaeresis", "Güemes", "Guerra");
        row("case does not move a name", "alberto", "Beatriz");
        row("ñ after n", "Nuñez", "Ñandú");
        row("ñ before o", "Muñoz", "Muoz");
        row("ñ is not n", "Munoz", "Muñiz");
        row("combining tilde is ñ", "Nunez", "Nun\u0303ez");
        row("shorter first", "Gil", "Gil Robles");
        row("alike: capital first", "Garcia", "garcia");
        row("alike: plain first", "Garcia", "García");
    }

    // Each pair both ways: names that fold alike still keep one order, so only identical names tie.
    void collationSortsAsSpanish()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        RowSet rows;
        QVERIFY_NO_ERROR(
            m_connection.select(QStringLiteral("SELECT ? < ? COLLATE SPANISH AS B, ? < ? COLLATE SPANISH AS A"),
                {first, second, second, first}, rows));
        QCOMPARE(rows.text(0, QStringLiteral("B")), QStringLiteral("1"));
        QCOMPARE(rows.text(0, QStringLiteral("A")), QStringLiteral("0"));
    }

    // A transaction begun inside another is part of it: its rollback undoes only its own work,
    // and its commit keeps nothing once the outer one is undone.
    void transactionInsideAnother_data()
    {
        QTest::addColumn<bool>("innerCommits");
        QTest::addColumn<bool>("outerCommits");
        QTest::addColumn<int>("kept"); // of the outer row and the inner one
        QTest::newRow("both committed") << true << true << 2;
        QTest::newRow("inner undone") << false << true << 1;
        QTest::newRow("outer undone") << true << false << 0;
    }

    void transactionInsideAnother()
    {
        QFETCH(bool, innerCommits);
        QFETCH(bool, outerCommits);
        const QString insert = QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (?)");
        QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("DELETE FROM PEDIDOS")));
        {
            Transaction outer(m_connection);
            QVERIFY_NO_ERROR(outer.begin());
            QVERIFY_NO_ERROR(m_connection.execute(insert, {1}));
            {
                Transaction inner(m_connection);
                QVERIFY_NO_ERROR(inner.begin());
                QVERIFY_NO_ERROR(m_connection.execute(insert, {2}));
                if (innerCommits)
                    QVERIFY_NO_ERROR(inner.commit());
            }
            QVERIFY(m_connection.inTransaction());
            if (outerCommits)
                QVERIFY_NO_ERROR(outer.commit());
        }
        QVERIFY(!m_connection.inTransaction());
        QTEST(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM PEDIDOS")).toInt(), "kept");
    }

    // The path names another file once the opened one is replaced (deleted or moved away:
    // tst_startup, tst_orderconfirmation).
    void stillInPlace()
    {
        TestDatabase db;
        Connection connection(QStringLiteral("tst-place"));
        QVERIFY_NO_ERROR(connection.open(db.path()));
        QVERIFY_NO_ERROR(connection.checkStillInPlace());
        const QString copy = db.path() + QStringLiteral(".copia");
        QVERIFY(QFile::copy(db.path(), copy) && QFile::remove(db.path()) && QFile::rename(copy, db.path()));
        QVERIFY_ERROR_CONTAINS(connection.checkStillInPlace(), QStringLiteral("'%1' ya no está").arg(db.path()));
    }

    // The engine's failures a user can act on are told in Spanish, its own words after them.
    void engineFailuresInSpanish()
    {
        QCOMPARE(engineError(4874, "disk I/O error").description,
            QStringLiteral("No se pudo leer o escribir en el disco: puede estar lleno o fallando (disk I/O error)."));
        QCOMPARE(engineError(19, "UNIQUE constraint failed").description, QStringLiteral("UNIQUE constraint failed"));
    }

private:
    TestDatabase m_db;
    Connection m_connection{QStringLiteral("tst")};
};

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_connection.moc"
