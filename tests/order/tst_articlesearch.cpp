#include "app/regional.h"
#include "data/connection.h"
#include "data/transaction.h"
#include "order/articlesearch.h"
#include "support/testdatabase.h"

#include <QtTest>

namespace {

// Code, factory code, description, stock, price; a null QVariant is a missing value.
const QList<QVariantList> catalogue = {
    {"A001", "F-100", "Tornillo de acero", 10, 2.5},
    {"AB10", "X-200", "Llave O'Brien", 5, 1000.0},
    {"AB20", QVariant(), "ÑANDÚ de bronce", QVariant(), QVariant()},
    {"ab30", "F-10%", "Cinta 50% descuento", 3, 1.25},
    {"B001", "Z_1", "Caño", 7, 0.1},
    {"", "F-999", "Sin código", 1, 1.0},
};

bool fill(const TestDatabase &db)
{
    for (const QVariantList &article : catalogue) {
        if (!db.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                article))
            return false;
    }
    return true;
}

QStringList codes(const QList<QStringList> &rows)
{
    QStringList result;
    for (const QStringList &row : rows)
        result.append(row.value(0));
    return result;
}

} // namespace

class tst_ArticleSearch : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    void statementBindsTheTexts();
    void findsByCriteria_data();
    void findsByCriteria();
    void rowsCarryPesosAndEmptyCells();
    void gridRow_data();
    void gridRow();
    void countBeyondSixteenBits();
    void failingQueryIsAnError();
    void questionTexts();
};

void tst_ArticleSearch::statementBindsTheTexts()
{
    const ArticleSearch::Statement only = ArticleSearch::statement({true, QStringLiteral("AB"), false, {}, false, {}});
    QCOMPARE(
        only.sql, QStringLiteral("select * from ARTICULOS where COD_ART<>'' and COD_ART like ? order by COD_ART;"));
    QCOMPARE(only.values, QVariantList{QStringLiteral("AB%")});

    const ArticleSearch::Statement all = ArticleSearch::statement(
        {true, QStringLiteral("x'"), true, QStringLiteral("y%"), true, QStringLiteral(" z ")});
    QCOMPARE(all.sql,
        QStringLiteral("select * from ARTICULOS where COD_ART<>'' and COD_ART like ? and COD_PROPIO like ? "
                       "and DESCRIPCION like ? order by COD_ART;"));
    QCOMPARE(all.values, (QVariantList{"x'%", "%y%%", "% z %"}));

    const ArticleSearch::Statement none = ArticleSearch::statement({});
    QCOMPARE(none.sql, QStringLiteral("select * from ARTICULOS where COD_ART<>'' order by COD_ART;"));
    QVERIFY(none.values.isEmpty());
}

void tst_ArticleSearch::findsByCriteria_data()
{
    QTest::addColumn<bool>("byCode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("byFactory");
    QTest::addColumn<QString>("factory");
    QTest::addColumn<bool>("byDescription");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("no criterion: every coded article, by code")
        << false << "" << false << "" << false << "" << QStringList{"A001", "AB10", "AB20", "B001", "ab30"};
    QTest::newRow("code begins with, any case")
        << true << "ab" << false << "" << false << "" << QStringList{"AB10", "AB20", "ab30"};
    QTest::newRow("code empty matches every code")
        << true << "" << false << "" << false << "" << QStringList{"A001", "AB10", "AB20", "B001", "ab30"};
    QTest::newRow("code does not match inside") << true << "001" << false << "" << false << "" << QStringList{};
    QTest::newRow("factory code contains")
        << false << "" << true << "f-10" << false << "" << QStringList{"A001", "ab30"};
    QTest::newRow("factory empty leaves out missing ones")
        << false << "" << true << "" << false << "" << QStringList{"A001", "AB10", "B001", "ab30"};
    QTest::newRow("description contains, Spanish letters folded")
        << false << "" << false << "" << true << "ñandú" << QStringList{"AB20"};
    QTest::newRow("a quote is just a character")
        << false << "" << false << "" << true << "o'brien" << QStringList{"AB10"};
    QTest::newRow("quote alone") << false << "" << false << "" << true << "'" << QStringList{"AB10"};
    QTest::newRow("typed % is a wildcard") << false << "" << false << "" << true << "tor%acero" << QStringList{"A001"};
    QTest::newRow("typed _ is a wildcard") << true << "A_0" << false << "" << false << "" << QStringList{"A001"};
    QTest::newRow("criteria combine") << true << "a" << false << "" << true << "ACERO" << QStringList{"A001"};
    QTest::newRow("nothing found") << false << "" << false << "" << true << "zzz" << QStringList{};
}

void tst_ArticleSearch::findsByCriteria()
{
    QFETCH(bool, byCode);
    QFETCH(QString, code);
    QFETCH(bool, byFactory);
    QFETCH(QString, factory);
    QFETCH(bool, byDescription);
    QFETCH(QString, description);
    TestDatabase db;
    QVERIFY(fill(db));
    Connection connection(QStringLiteral("search"));
    QVERIFY(!connection.open(db.path()));
    QList<QStringList> rows;
    QVERIFY(!ArticleSearch::run(connection, {byCode, code, byFactory, factory, byDescription, description}, 1, rows));
    QTEST(codes(rows), "found");
}

void tst_ArticleSearch::rowsCarryPesosAndEmptyCells()
{
    TestDatabase db;
    QVERIFY(fill(db));
    Connection connection(QStringLiteral("search"));
    QVERIFY(!connection.open(db.path()));
    QList<QStringList> rows;
    QVERIFY(!ArticleSearch::run(connection, {true, QStringLiteral("AB"), false, {}, false, {}}, 3.15, rows));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0), (QStringList{"AB10", "X-200", "Llave O'Brien", "5", "3.150,00"}));
    QCOMPARE(rows.at(1), (QStringList{"AB20", "", "ÑANDÚ de bronce", "", "0,00"}));
    QCOMPARE(rows.at(2), (QStringList{"ab30", "F-10%", "Cinta 50% descuento", "3", "3,94"}));
}

void tst_ArticleSearch::gridRow_data()
{
    QTest::addColumn<bool>("point");
    QTest::addColumn<QVariant>("stock");
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("stockCell");
    QTest::addColumn<QString>("priceCell");
    QTest::newRow("grouped") << false << QVariant(12) << QVariant(1234.5) << 1.0 << "12"
                             << "1.234,50";
    QTest::newRow("grouped, point") << true << QVariant(12) << QVariant(1234.5) << 1.0 << "12"
                                    << "1,234.50";
    QTest::newRow("times the rate") << false << QVariant(0) << QVariant(2.0) << 2.85 << "0"
                                    << "5,70";
    QTest::newRow("null price is 0") << false << QVariant(1) << QVariant() << 3.0 << "1"
                                     << "0,00";
    QTest::newRow("null stock is empty") << false << QVariant() << QVariant(1.0) << 1.0 << ""
                                         << "1,00";
    QTest::newRow("negative stock") << false << QVariant(-4) << QVariant(-1.5) << 1.0 << "-4"
                                    << "-1,50";
    QTest::newRow("stock with decimals, regional") << false << QVariant(2.5) << QVariant(1.0) << 0.0 << "2,5"
                                                   << "0,00";
}

void tst_ArticleSearch::gridRow()
{
    QFETCH(bool, point);
    QFETCH(QVariant, stock);
    QFETCH(QVariant, price);
    QFETCH(double, rate);
    Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
    const QStringList row
        = ArticleSearch::gridRow(QStringLiteral("C"), QVariant(), QStringLiteral("D"), stock, price, rate);
    QCOMPARE(row.size(), 5);
    QCOMPARE(row.at(1), QString());
    QTEST(row.at(3), "stockCell");
    QTEST(row.at(4), "priceCell");
}

void tst_ArticleSearch::countBeyondSixteenBits()
{
    TestDatabase db;
    Connection connection(QStringLiteral("search"));
    QVERIFY(!connection.open(db.path()));
    {
        Transaction transaction(connection);
        QVERIFY(!transaction.begin());
        QSqlQuery insert;
        QVERIFY(!connection.prepare(
            insert, QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, P_UNITARIO) VALUES (?, ?, ?)")));
        for (int i = 0; i < 40000; ++i)
            QVERIFY(!Connection::run(insert, {QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0')), "x", 1.0}));
        QVERIFY(!transaction.commit());
    }
    QList<QStringList> rows;
    QVERIFY(!ArticleSearch::run(connection, {}, 1, rows));
    QCOMPARE(rows.size(), 40000);
    QCOMPARE(rows.last().value(0), QStringLiteral("C39999"));
    QCOMPARE(ArticleSearch::tooManyQuestion(rows.size()),
        QStringLiteral("Se encontraron 40000 registros, desea verlos de toda forma."));
}

void tst_ArticleSearch::failingQueryIsAnError()
{
    Connection closed(QStringLiteral("closed"));
    QList<QStringList> rows{{"stale"}};
    QVERIFY(ArticleSearch::run(closed, {}, 1, rows).has_value());
    QCOMPARE(rows.size(), 1); // left as it was
}

void tst_ArticleSearch::questionTexts()
{
    QCOMPARE(ArticleSearch::noMatchesText(), QStringLiteral("No se encontraron registros."));
    QCOMPARE(ArticleSearch::tooManyQuestion(101),
        QStringLiteral("Se encontraron 101 registros, desea verlos de toda forma."));
}

QTEST_GUILESS_MAIN(tst_ArticleSearch)
#include "tst_articlesearch.moc"
