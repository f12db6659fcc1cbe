#include "base/regional.h"
#include "data/connection.h"
#include "order/articlesearch.h"
#include "support/testdatabase.h"

#include <QtTest>

namespace {

// Opens a connection of its own on a fresh database holding the articles.
bool fill(const TestDatabase &db, Connection &connection, const QList<QVariantList> &articles)
{
    for (const QVariantList &article : articles) {
        if (!db.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                article))
            return false;
    }
    return !connection.open(db.path());
}

// A criterion written "-" is not ticked.
SearchCriteria criteria(const QString &code, const QString &factory, const QString &description)
{
    const QString off = QStringLiteral("-");
    return {code != off, code, factory != off, factory, description != off, description};
}

} // namespace

Q_DECLARE_METATYPE(SearchCriteria)

// The rows LlenoRejilla lists, straight from the statement; the window's part is in tst_frmmenu.
class tst_ArticleSearch : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    void findsByCriteria_data()
    {
        QTest::addColumn<SearchCriteria>("criteria");
        QTest::addColumn<QStringList>("found");
        const QStringList all = {"A001", "AB10", "AB20", "B001", "ab30"};
        QTest::newRow("none: every coded article") << criteria("-", "-", "-") << all;
        QTest::newRow("code begins with, any case") << criteria("ab", "-", "-") << QStringList{"AB10", "AB20", "ab30"};
        QTest::newRow("code not inside") << criteria("001", "-", "-") << QStringList{};
        QTest::newRow("factory code contains") << criteria("-", "f-10", "-") << QStringList{"A001", "ab30"};
        QTest::newRow("factory empty leaves out nulls")
            << criteria("-", "", "-") << QStringList{"A001", "AB10", "B001", "ab30"};
        QTest::newRow("accents folded") << criteria("-", "-", "ñandú") << QStringList{"AB20"};
        QTest::newRow("a quote is a character") << criteria("-", "-", "o'brien") << QStringList{"AB10"};
        QTest::newRow("typed % is a wildcard") << criteria("-", "-", "tor%acero") << QStringList{"A001"};
        QTest::newRow("typed _ is a wildcard") << criteria("A_0", "-", "-") << QStringList{"A001"};
        QTest::newRow("criteria combine") << criteria("a", "-", "ACERO") << QStringList{"A001"};
    }

    void findsByCriteria()
    {
        QFETCH(SearchCriteria, criteria);
        TestDatabase db;
        Connection connection(QStringLiteral("search"));
        QVERIFY(fill(db, connection,
            {{"A001", "F-100", "Tornillo de acero", 10, 2.5}, {"AB10", "X-200", "Llave O'Brien", 5, 1000.0},
                {"AB20", QVariant(), "ÑANDÚ de bronce", QVariant(), QVariant()},
                {"ab30", "F-10%", "Cinta 50% descuento", 3, 1.25}, {"B001", "Z_1", "Caño", 7, 0.1},
                {"", "F-999", "Sin código", 1, 1.0}}));
        QList<QStringList> rows;
        QVERIFY(!ArticleSearch::run(connection, criteria, 3.15, rows));
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
        TestDatabase db;
        Connection connection(QStringLiteral("search"));
        QVERIFY(fill(db, connection, {}));
        QVERIFY(
            db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39999) "
                                   "INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, P_UNITARIO) "
                                   "SELECT 'C' || substr('0000' || i, -5), 'x', 1 FROM n")));
        QList<QStringList> rows;
        QVERIFY(!ArticleSearch::run(connection, {}, 1, rows));
        QCOMPARE(rows.size(), 40000);
        QCOMPARE(rows.last().value(0), QStringLiteral("C39999"));
        QCOMPARE(ArticleSearch::tooManyQuestion(rows.size()),
            QStringLiteral("Se encontraron 40000 registros, desea verlos de toda forma."));
    }

    void failingQueryLeavesTheRows()
    {
        Connection closed(QStringLiteral("closed"));
        QList<QStringList> rows{{"stale"}};
        QVERIFY(ArticleSearch::run(closed, {}, 1, rows).has_value());
        QCOMPARE(rows.size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ArticleSearch)
#include "tst_articlesearch.moc"
