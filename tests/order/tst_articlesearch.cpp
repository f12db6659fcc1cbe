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
    void findsByCriteria_data()
    {
        QTest::addColumn<SearchCriteria>("criteria");
        QTest::addColumn<QStringList>("found");
        const QString off = QStringLiteral("-"); // a criterion not ticked
        const auto criteria = [&off](const QString &code, const QString &factory, const QString &description) {
            return SearchCriteria{code != off, code, factory != off, factory, description != off, description};
        };
        QTest::newRow("none: every coded article") << criteria("-", "-", "-") << QStringList{"A001", "AB10", "ab30"};
        QTest::newRow("code begins with, any case") << criteria("ab", "-", "-") << QStringList{"AB10", "ab30"};
        QTest::newRow("code not inside") << criteria("001", "-", "-") << QStringList{};
        QTest::newRow("factory code contains") << criteria("-", "f-10", "-") << QStringList{"A001", "ab30"};
        QTest::newRow("factory empty leaves out nulls") << criteria("-", "", "-") << QStringList{"A001", "ab30"};
        QTest::newRow("a quote is a character") << criteria("-", "-", "o'brien") << QStringList{"AB10"};
        QTest::newRow("typed % is a wildcard") << criteria("-", "-", "tor%acero") << QStringList{"A001"};
        QTest::newRow("criteria combine") << criteria("a", "-", "ACERO") << QStringList{"A001"};
    }

    void findsByCriteria()
    {
        QFETCH(SearchCriteria, criteria);
        Regional::setCurrent(Regional::commaDayFirst());
        TestDatabase db;
        QVERIFY(
            db.exec("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) VALUES "
                    "('A001', 'F-100', 'Tornillo de acero', 10, 2.5), ('AB10', NULL, 'Llave O''Brien', NULL, NULL), "
                    "('ab30', 'F-10%', 'Cinta 50% descuento', 3, 1000), ('', 'F-999', 'Sin código', 1, 1)"));
        Connection connection(QStringLiteral("search"));
        QVERIFY(!connection.open(db.path()));
        QList<QStringList> rows;
        QVERIFY(!ArticleSearch::run(connection, criteria, 3.15, rows));
        QStringList codes;
        for (const QStringList &row : rows)
            codes.append(row.value(0));
        QTEST(codes, "found");
        // Price times the rate in Standard; a null price is 0, a null stock an empty cell.
        if (QByteArray(QTest::currentDataTag()).startsWith("code begins"))
            QCOMPARE(rows,
                (QList<QStringList>{{"AB10", "", "Llave O'Brien", "", "0,00"},
                    {"ab30", "F-10%", "Cinta 50% descuento", "3", "3.150,00"}}));
    }
};

QTEST_GUILESS_MAIN(tst_ArticleSearch)
#include "tst_articlesearch.moc"
