#include "data/server/companyschema.h"
#include "data/server/orderupload.h"
#include "data/server/serverconnection.h"
#include "data/server/servererrornumber.h"
#include "data/server/servertransaction.h"
#include "data/serverorder.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QtTest>

namespace {

const QString passwordA = QStringLiteral("clave A'1");
const QString passwordB = QStringLiteral("clave B;2");

// Everything server-init makes and everything stored, as text, to compare two moments.
QStringList snapshot(ServerConnection &connection)
{
    const char *const queries[] = {
        "SELECT table_name, column_name, data_type, column_default, is_nullable FROM information_schema.columns "
        "WHERE table_schema = current_schema() ORDER BY 1, 2",
        "SELECT relname, relkind, relacl::text, relrowsecurity FROM pg_class "
        "WHERE relnamespace = current_schema()::regnamespace ORDER BY 1",
        "SELECT conname, pg_get_constraintdef(oid) FROM pg_constraint "
        "WHERE connamespace = current_schema()::regnamespace ORDER BY 1",
        "SELECT proname, proacl::text, pg_get_functiondef(oid) FROM pg_proc "
        "WHERE pronamespace = current_schema()::regnamespace ORDER BY 1",
        "SELECT tgname, pg_get_triggerdef(oid) FROM pg_trigger WHERE NOT tgisinternal ORDER BY 1",
        "SELECT tablename, policyname, qual, with_check FROM pg_policies ORDER BY 1, 2",
        "SELECT last_value FROM ARTICULOS_CAMBIO_SEQ",
        "SELECT * FROM SCHEMA_VERSION",
        "SELECT * FROM ARTICULOS ORDER BY COD_ART",
        "SELECT * FROM VENDEDORES ORDER BY CODIGO",
        "SELECT * FROM PEDIDOS ORDER BY VENDEDOR, NRO_PEDIDO",
        "SELECT * FROM LINEAS_PEDIDOS ORDER BY VENDEDOR, NRO_PEDIDO, NRO_LINEA",
    };
    QStringList lines;
    for (const char *query : queries) {
        RowSet rows;
        if (MaybeError error = connection.select(QString::fromUtf8(query), {}, rows))
            return {error->description};
        for (int row = 0; row < rows.count(); ++row) {
            QStringList values;
            for (const QString &column : rows.columns())
                values.append(rows.text(row, column));
            lines.append(values.join(QLatin1Char('|')));
        }
    }
    return lines;
}

ServerOrder order(int number, const QString &article)
{
    return {{{QStringLiteral("NRO_PEDIDO"), number}, {QStringLiteral("FECHA"), QStringLiteral("2024-03-01")}},
        {{{QStringLiteral("NRO_LINEA"), 1}, {QStringLiteral("COD_ART"), article}, {QStringLiteral("CANTIDAD"), 2}}}};
}

} // namespace

class tst_CompanySchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_CLUSTER();
        m_database = std::make_unique<TestCompanyDatabase>();
        QVERIFY(m_database->isValid());
        QVERIFY(m_database->initialise({{QStringLiteral("A"), passwordA}, {QStringLiteral("B"), passwordB}}));

        ServerConnection office(QStringLiteral("office"));
        QVERIFY(!office.open(m_database->office()));
        QVERIFY(!office.execute(
            QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES (?, ?)"), {QStringLiteral("X1"), 10}));
        for (const auto &[code, password] :
            {std::pair(QStringLiteral("A"), passwordA), std::pair(QStringLiteral("B"), passwordB)}) {
            ServerConnection salesperson(QStringLiteral("send"));
            QVERIFY(!salesperson.open(m_database->salesperson(code, password)));
            OrderUpload::Outcome outcome;
            QVERIFY(!OrderUpload::send(salesperson, order(1, QStringLiteral("X1")), outcome));
        }
    }

    void createTwiceChangesNothing()
    {
        ServerConnection office(QStringLiteral("office"));
        QVERIFY(!office.open(m_database->office()));
        const QStringList before = snapshot(office);
        QVERIFY(before.size() > 40);
        const MaybeError error = CompanySchema::create(office);
        QVERIFY2(!error, qPrintable(error ? error->description : QString()));
        QCOMPARE(snapshot(office), before);
    }

    // What salesperson A's login may do, each in a transaction that is then undone.
    void salespersonLogin_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("number"); // 0: allowed
        QTest::addColumn<int>("count"); // for a count, what it finds; -1 otherwise

        const QString a = QStringLiteral("A");
        const QString b = QStringLiteral("B");
        QTest::newRow("sees its own order") << "SELECT COUNT(*) AS N FROM PEDIDOS" << QVariantList{} << 0 << 1;
        QTest::newRow("sees no other lines")
            << "SELECT COUNT(*) AS N FROM LINEAS_PEDIDOS WHERE VENDEDOR = ?" << QVariantList{b} << 0 << 0;
        QTest::newRow("reads the catalogue") << "SELECT COUNT(*) AS N FROM ARTICULOS" << QVariantList{} << 0 << 1;
        QTest::newRow("inserts its own order")
            << "INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO) VALUES (?, ?)" << QVariantList{a, 2} << 0 << -1;
        QTest::newRow("inserts no order for another") << "INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO) VALUES (?, ?)"
                                                      << QVariantList{b, 2} << ServerErrorNumber::NotAllowed << -1;
        QTest::newRow("changes no order") << "UPDATE PEDIDOS SET CLIENTE = ? WHERE VENDEDOR = ?" << QVariantList{a, b}
                                          << ServerErrorNumber::NotAllowed << -1;
        QTest::newRow("changes no article")
            << "UPDATE ARTICULOS SET STK_ACTUAL = ? WHERE COD_ART = ?" << QVariantList{99, QStringLiteral("X1")}
            << ServerErrorNumber::NotAllowed << -1;
        QTest::newRow("reads no salespeople")
            << "SELECT COUNT(*) AS N FROM VENDEDORES" << QVariantList{} << ServerErrorNumber::NotAllowed << -1;
        QTest::newRow("adds no salesperson")
            << "SELECT ALTA_VENDEDOR(?, ?, ?, ?)" << QVariantList{b, b, b, b} << ServerErrorNumber::NotAllowed << -1;
    }

    void salespersonLogin()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(int, number);
        QFETCH(int, count);

        ServerConnection login(QStringLiteral("salesperson"));
        const MaybeError opened = login.open(m_database->salesperson(QStringLiteral("A"), passwordA));
        QVERIFY2(!opened, qPrintable(opened ? opened->description : QString()));
        ServerTransaction undone(login);
        QVERIFY(!undone.begin());
        RowSet rows;
        const MaybeError error
            = sql.startsWith(QLatin1String("SELECT")) ? login.select(sql, values, rows) : login.execute(sql, values);
        QCOMPARE(error ? error->number : 0, number);
        if (count >= 0)
            QCOMPARE(rows.value(0, QStringLiteral("N")).toInt(), count);
    }

private:
    std::unique_ptr<TestCompanyDatabase> m_database;
};

QTEST_GUILESS_MAIN(tst_CompanySchema)
#include "tst_companyschema.moc"
