#include "base/regional.h"
#include "data/connection.h"
#include "order/articlesearch.h"
#include "support/testdatabase.h"

#include <QtTest>

Q_DECLARE_METATYPE(SearchCriteria)

// The rows LlenoRejilla lists, straight from the statement; what the window says is tst_frmmenu's.
class tst_ArticleSearch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        m_db = std::make_unique<TestDatabase>();
        m_connection = std::make_unique<Connection>(QStringLiteral("search"));
    }

    void cleanup()
    {
        m_connection.reset();
        m_db.reset();
    }

    void findsByCriteria_data()
    {
        QTest::addColumn<SearchCriteria>("criteria");
        QTest::addColumn<QStringList>("found");
        const QString off = QStringLiteral("-"); // a criterion not ticked
        const auto criteria = [&off](const QString &code, const QString &factory, const QString &description) {
            return SearchCriteria{code != off, code, factory != off, factory, description != off, description};
        };
        const QStringList all = {"A001", "AB10", "AB20", "B001", "ab30"};
        QTest::newRow("none: every coded article") << criteria("-", "-", "-") << all;
        QTest::newRow("code begins with, any case") << criteria("ab", "-", "-") << QStringList{"AB10", "AB20", "ab30"};
        QTest::newRow("code not inside") << criteria("001", "-", "-") << QStringList{};
        QTest::newRow("factory code contains") << criteria("-", "f-10", "-") << QStringList{"A001", "ab30"};
        QTest::newRow("factory empty leaves out nulls")
            << criteria("-", "", "-") << QStringList{"A001", "AB10", "B001", "ab30"};
        QTest::newRow("a quote is a character") << criteria("-", "-", "o'brien") << QStringList{"AB10"};
        QTest::newRow("typed % is a wildcard") << criteria("-", "-", "tor%acero") << QStringList{"A001"};
        QTest::newRow("criteria combine") << criteria("a", "-", "ACERO") << QStringList{"A001"};
    }

    void findsByCriteria()
    {
        QFETCH(SearchCriteria, criteria);
        QVERIFY(m_db->exec(
            "INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) VALUES "
            "('A001', 'F-100', 'Tornillo de acero', 10, 2.5), ('AB10', 'X-200', 'Llave O''Brien', 5, 1000), "
            "('AB20', NULL, 'ÑANDÚ de bronce', NULL, NULL), ('ab30', 'F-10%', 'Cinta 50% descuento', 3, 1.25), "
            "('B001', 'Z_1', 'Caño', 7, 0.1), ('', 'F-999', 'Sin código', 1, 1)"));
        QVERIFY(!m_connection->open(m_db->path()));
        QList<QStringList> rows;
        QVERIFY(!ArticleSearch::run(*m_connection, criteria, 3.15, rows));
        QStringList codes;
        for (const QStringList &row : rows)
            codes.append(row.value(0));
        QTEST(codes, "found");
        // Price times the rate in Standard; a null price is 0, a null stock an empty cell.
        if (QByteArray(QTest::currentDataTag()).startsWith("code begins")) {
            QCOMPARE(rows.at(0), (QStringList{"AB10", "X-200", "Llave O'Brien", "5", "3.150,00"}));
            QCOMPARE(rows.at(1), (QStringList{"AB20", "", "ÑANDÚ de bronce", "", "0,00"}));
        }
    }

    void countBeyondSixteenBits()
    {
        QVERIFY(m_db->exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39999) "
                           "INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, P_UNITARIO) "
                           "SELECT 'C' || substr('0000' || i, -5), 'x', 1 FROM n"));
        QVERIFY(!m_connection->open(m_db->path()));
        QList<QStringList> rows;
        QVERIFY(!ArticleSearch::run(*m_connection, {}, 1, rows));
        QCOMPARE(rows.size(), 40000);
        QCOMPARE(rows.last().value(0), QStringLiteral("C39999"));
        QCOMPARE(ArticleSearch::tooManyQuestion(rows.size()),
            QStringLiteral("Se encontraron 40000 registros, desea verlos de toda forma."));
    }

    void failingQueryLeavesTheRows()
    {
        QList<QStringList> rows{{"stale"}};
        QVERIFY(ArticleSearch::run(*m_connection, {}, 1, rows).has_value()); // not open
        QCOMPARE(rows.size(), 1);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_connection;
};

QTEST_GUILESS_MAIN(tst_ArticleSearch)
#include "tst_articlesearch.moc"
