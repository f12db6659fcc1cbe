#include "data/server/orderupload.h"
#include "data/server/serverconnection.h"
#include "data/server/servererrornumber.h"
#include "data/serverorder.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QtTest>

namespace {

QVariantMap line(int number, const QString &article, int quantity)
{
    return {{QStringLiteral("NRO_LINEA"), number}, {QStringLiteral("COD_ART"), article},
        {QStringLiteral("CANTIDAD"), quantity}, {QStringLiteral("P_UNITARIO"), 12.35},
        {QStringLiteral("DETALLES"), QVariant()}};
}

ServerOrder order(int number)
{
    return {{{QStringLiteral("NRO_PEDIDO"), number}, {QStringLiteral("FECHA"), QStringLiteral("2024-03-01")},
                {QStringLiteral("CLIENTE"), QStringLiteral("O'Higgins & Cía; \"Sur\"")},
                {QStringLiteral("OBSERVACIONES"), QVariant()}},
        {line(1, QStringLiteral("A1"), 3), line(2, QStringLiteral("A2"), 1), line(3, QStringLiteral("A1"), 2)}};
}

} // namespace

class tst_OrderUpload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

    void sentTwiceStoredOnceStockLoweredOnce()
    {
        TestCompanyDatabase database;
        QVERIFY(database.isValid());
        QVERIFY(database.initialise(
            {{QStringLiteral("V1"), QStringLiteral("uno")}, {QStringLiteral("V2"), QStringLiteral("dos")}}));
        ServerConnection office(QStringLiteral("office"));
        QVERIFY(!office.open(database.office()));
        for (const auto &[article, stock] : {std::pair("A1", 10), std::pair("A2", 5), std::pair("A3", 7)})
            QVERIFY(!office.execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES (?, ?)"),
                {QString::fromLatin1(article), stock}));
        RowSet before;
        QVERIFY(!office.select(QStringLiteral("SELECT COD_ART, CAMBIO FROM ARTICULOS ORDER BY COD_ART"), {}, before));

        ServerConnection first(QStringLiteral("first"));
        QVERIFY(!first.open(database.salesperson(QStringLiteral("V1"), QStringLiteral("uno"))));
        OrderUpload::Outcome outcome;
        MaybeError error = OrderUpload::send(first, order(7), outcome);
        QVERIFY2(!error, qPrintable(error ? error->description : QString()));
        QCOMPARE(outcome, OrderUpload::Outcome::Stored);
        QVERIFY(!OrderUpload::send(first, order(7), outcome));
        QCOMPARE(outcome, OrderUpload::Outcome::AlreadyThere);
        // Another salesperson's order 7 is another order.
        ServerConnection second(QStringLiteral("second"));
        QVERIFY(!second.open(database.salesperson(QStringLiteral("V2"), QStringLiteral("dos"))));
        QVERIFY(!OrderUpload::send(second, order(7), outcome));
        QCOMPARE(outcome, OrderUpload::Outcome::Stored);

        RowSet rows;
        QVERIFY(!office.select(
            QStringLiteral("SELECT VENDEDOR, CLIENTE, OBSERVACIONES, "
                           "(SELECT COUNT(*) FROM LINEAS_PEDIDOS L WHERE L.VENDEDOR = P.VENDEDOR) AS LINEAS "
                           "FROM PEDIDOS P ORDER BY VENDEDOR"),
            {}, rows));
        QCOMPARE(rows.count(), 2);
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(
                rows.text(row, QStringLiteral("CLIENTE")), order(7).header.value(QStringLiteral("CLIENTE")).toString());
            QVERIFY(rows.value(row, QStringLiteral("OBSERVACIONES")).isNull());
            QCOMPARE(rows.value(row, QStringLiteral("LINEAS")).toInt(), 3);
        }
        QVERIFY(!office.select(
            QStringLiteral("SELECT COD_ART, STK_ACTUAL, CAMBIO FROM ARTICULOS ORDER BY COD_ART"), {}, rows));
        // V1's order and V2's, each counted once.
        const int lowered[] = {10 - 2 * (3 + 2), 5 - 2 * 1, 7};
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(rows.value(row, QStringLiteral("STK_ACTUAL")).toInt(), lowered[row]);
            // The change stamp moves with the stock, and only there.
            const bool changed = rows.value(row, QStringLiteral("CAMBIO")).toLongLong()
                > before.value(row, QStringLiteral("CAMBIO")).toLongLong();
            QCOMPARE(changed, row < 2);
        }
    }

    void loginWithoutSalespersonRefused()
    {
        TestCompanyDatabase database;
        QVERIFY(database.isValid());
        QVERIFY(database.initialise());
        ServerConnection office(QStringLiteral("office"));
        QVERIFY(!office.open(database.office()));
        OrderUpload::Outcome outcome;
        const MaybeError error = OrderUpload::send(office, order(1), outcome);
        QVERIFY(error);
        QCOMPARE(error->number, ServerErrorNumber::NotAllowed);
        QVERIFY2(error->description.contains(QStringLiteral("no es vendedor")), qPrintable(error->description));
    }
};

QTEST_GUILESS_MAIN(tst_OrderUpload)
#include "tst_orderupload.moc"
