#include "data/connection.h"
#include "data/salespersoncode.h"
#include "data/sentorders.h"
#include "data/serverorder.h"
#include "data/serversettings.h"
#include "data/transaction.h"
#include "server/catalogueupdate.h"
#include "server/companyschema.h"
#include "server/ordersender.h"
#include "server/orderupload.h"
#include "server/serverconnection.h"
#include "server/servererrornumber.h"
#include "server/serverlogin.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testfiles.h"
#include "testcluster.h"
#include "testcompanydatabase.h"
#include "testlaptop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString passwordA = QStringLiteral("clave A'1");
const QString passwordB = QStringLiteral("clave B;2");

// Each row a statement finds, its values joined with '|'.
QStringList rowsOf(ServerConnection &connection, const QString &sql, const QVariantList &values = {})
{
    RowSet rows;
    if (MaybeError error = connection.select(sql, values, rows))
        return {error->description};
    QStringList lines;
    for (int row = 0; row < rows.count(); ++row) {
        QStringList texts;
        for (const QString &column : rows.columns())
            texts.append(rows.text(row, column));
        lines.append(texts.join(QLatin1Char('|')));
    }
    return lines;
}

// Order 7: three lines over two articles, and a customer whose name would trip spliced SQL.
ServerOrder order7()
{
    const auto line = [](int number, const char *article, int quantity) {
        return QVariantMap{{"NRO_LINEA", number}, {"COD_ART", QString::fromLatin1(article)}, {"CANTIDAD", quantity},
            {"P_UNITARIO", 12.35}, {"DETALLES", QVariant()}};
    };
    return {{{"NRO_PEDIDO", 7}, {"FECHA", "2024-03-01"}, {"CLIENTE", "O'Higgins & Cía; \"Sur\""},
                {"OBSERVACIONES", QVariant()}},
        {line(1, "A1", 3), line(2, "A2", 1), line(3, "A1", 2)}};
}

constexpr int salespeople = 20;
constexpr int ordersEach = 250;
constexpr int linesEach = 4;
constexpr int initialStock = 100000;

QString code(int salesperson)
{
    return QStringLiteral("V%1").arg(salesperson + 1, 2, 10, QLatin1Char('0'));
}

// recorvan-db on a machine that writes decimals with a comma and dates day first.
std::unique_ptr<QProcess> startTool(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("es_ES.UTF-8"));
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(RECORVAN_DB_TOOL), arguments);
    return process;
}

// server-send on each laptop, each a process of its own.
std::vector<std::unique_ptr<QProcess>> sendFrom(const std::vector<std::unique_ptr<TestLaptop>> &laptops)
{
    std::vector<std::unique_ptr<QProcess>> senders;
    for (const auto &laptop : laptops)
        senders.push_back(startTool({QStringLiteral("server-send"), laptop->path()}));
    return senders;
}

// One order of one line of article A1, as the desk stores it.
bool addOrder(const TestLaptop &laptop, int number, const QString &customer, int quantity)
{
    return laptop.database().exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (?, "
                                                 "'2024-03-01', ?)"),
               {number, customer})
        && laptop.database().exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, "
                                                 "CANTIDAD, P_UNITARIO) VALUES (?, 1, 'A1', ?, 12.35)"),
            {number, quantity});
}

// True once the process has ended: one whose end was already seen while the test waited for
// something else is not waited for again (waitForFinished would say false for it).
bool ended(QProcess &process, int ms)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(ms);
}

QString outputOf(QProcess &process)
{
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

} // namespace

// The company database as server-init makes it: each salesperson's login reaches only its own
// orders, an order sent twice is stored once, a refused login names its cause; twenty
// salespeople sending at once through a killed sender and a stopped server; and a laptop's
// side: its catalogue brought down, a password typed for the run.
class tst_CompanyServer : public QObject
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
        QVERIFY_NO_ERROR(office.open(m_database->office()));
        for (const auto &[article, stock] : {std::pair("A1", 10), std::pair("A2", 5), std::pair("A3", 7)})
            QVERIFY_NO_ERROR(office.execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES (?, ?)"),
                {QString::fromLatin1(article), stock}));
        m_stampBefore = rowsOf(office, QStringLiteral("SELECT MAX(CAMBIO) FROM ARTICULOS")).value(0).toLongLong();
        // server-init run again keeps what is there, the articles' stamps too.
        QVERIFY_NO_ERROR(CompanySchema::create(office));

        // A sends order 7 twice; B's order 7 is another order.
        for (const auto &[code, password, outcome] :
            {std::tuple(QStringLiteral("A"), passwordA, OrderUpload::Outcome::Stored),
                std::tuple(QStringLiteral("A"), passwordA, OrderUpload::Outcome::AlreadyThere),
                std::tuple(QStringLiteral("B"), passwordB, OrderUpload::Outcome::Stored)}) {
            ServerConnection salesperson(QStringLiteral("send"));
            QVERIFY_NO_ERROR(salesperson.open(m_database->salesperson(code, password)));
            OrderUpload::Received sent;
            QVERIFY_NO_ERROR(OrderUpload::send(salesperson, order7(), sent));
            QCOMPARE(sent.outcome, outcome);
        }
    }

    void sentTwiceStoredOnceStockLoweredOnce()
    {
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_database->office()));
        OrderUpload::Received received;
        const MaybeError refused = OrderUpload::send(office, order7(), received);
        QCOMPARE(refused ? refused->number : 0, ServerErrorNumber::NotAllowed);
        QVERIFY2(refused->description.contains(QStringLiteral("no es vendedor")), qPrintable(refused->description));

        const QString customer = order7().header.value(QStringLiteral("CLIENTE")).toString();
        QCOMPARE(rowsOf(office,
                     QStringLiteral("SELECT VENDEDOR, CLIENTE, OBSERVACIONES IS NULL, (SELECT COUNT(*) FROM "
                                    "LINEAS_PEDIDOS L WHERE L.VENDEDOR = P.VENDEDOR) FROM PEDIDOS P ORDER BY 1")),
            QStringList({"A|" + customer + "|true|3", "B|" + customer + "|true|3"}));
        // A's order and B's, each counted once; the change stamp moves with the stock, and only there.
        QCOMPARE(rowsOf(office, QStringLiteral("SELECT COD_ART, STK_ACTUAL, CAMBIO > ? FROM ARTICULOS ORDER BY 1"),
                     {m_stampBefore}),
            QStringList({"A1|0|true", "A2|3|true", "A3|7|false"}));
    }

    // What salesperson A's login may do, each in a transaction that is then undone: read the
    // catalogue and its own orders, and send an order only through the receiving function,
    // which checks what it would store.
    void salespersonLogin_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("number"); // 0: allowed
        QTest::addColumn<QString>("says"); // part of the refusal; for a count, what it finds

        const QString a = QStringLiteral("A");
        const QString b = QStringLiteral("B");
        const int notAllowed = ServerErrorNumber::NotAllowed;
        const int refused = ServerErrorNumber::Refused;
        QTest::newRow("sees its own order") << "SELECT COUNT(*) AS N FROM PEDIDOS" << QVariantList{} << 0 << "1";
        QTest::newRow("sees no other lines")
            << "SELECT COUNT(*) AS N FROM LINEAS_PEDIDOS WHERE VENDEDOR = ?" << QVariantList{b} << 0 << "0";
        QTest::newRow("reads the catalogue") << "SELECT COUNT(*) AS N FROM ARTICULOS" << QVariantList{} << 0 << "3";
        QTest::newRow("inserts no order of its own") << "INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO) VALUES (?, ?)"
                                                     << QVariantList{a, 2} << notAllowed << "permiso";
        QTest::newRow("adds no line to an order received")
            << "INSERT INTO LINEAS_PEDIDOS (VENDEDOR, NRO_PEDIDO, NRO_LINEA) VALUES (?, ?, ?)" << QVariantList{a, 7, 9}
            << notAllowed << "permiso";
        QTest::newRow("changes no order of its own")
            << "UPDATE PEDIDOS SET CLIENTE = ? WHERE VENDEDOR = ?" << QVariantList{b, a} << notAllowed << "permiso";
        QTest::newRow("deletes no line of its own")
            << "DELETE FROM LINEAS_PEDIDOS WHERE VENDEDOR = ?" << QVariantList{a} << notAllowed << "permiso";
        QTest::newRow("changes no article") << "UPDATE ARTICULOS SET STK_ACTUAL = ? WHERE COD_ART = ?"
                                            << QVariantList{99, QStringLiteral("A1")} << notAllowed << "permiso";
        QTest::newRow("reads no salespeople")
            << "SELECT COUNT(*) AS N FROM VENDEDORES" << QVariantList{} << notAllowed << "permiso";
        QTest::newRow("adds no salesperson")
            << "SELECT ALTA_VENDEDOR(?, ?, ?, ?)" << QVariantList{b, b, b, b} << notAllowed << "permiso";

        const QString line = QStringLiteral(R"({"nro_linea": %1, "cod_art": "A1", "cantidad": 5, "p_unitario": %2})");
        const auto receive = [](int number, const QString &lines, const QString &remarks = {}) {
            QVariantList values{number, QStringLiteral("2024-03-01")};
            for (int i = 0; i < 8; ++i)
                values << QVariant();
            return values << remarks << QStringLiteral("[%1]").arg(lines) << QStringLiteral("0000");
        };
        const QString sendOrder = QStringLiteral("SELECT * FROM RECIBIR_PEDIDO(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        QTest::newRow("no order number below 1")
            << sendOrder << receive(0, line.arg(1).arg(2)) << refused << "el número de orden 0 no es válido";
        QTest::newRow("no line number below 1") << sendOrder << receive(8, line.arg(0).arg(2)) << refused
                                                << "una línea sin número o con un número menor que 1";
        QTest::newRow("no line twice") << sendOrder << receive(8, line.arg(1).arg(2) + ',' + line.arg(1).arg(3))
                                       << refused << "trae dos veces la línea 1";
        QTest::newRow("no price that is not a finite number")
            << sendOrder << receive(8, line.arg(1).arg("\"Infinity\"")) << refused << "no tiene un precio finito";
        QTest::newRow("no text longer than a field")
            << sendOrder << receive(8, line.arg(1).arg(2), QString(32768, QLatin1Char('x'))) << refused
            << "el campo Observaciones tiene más de 32767 caracteres";
        QTest::newRow("no order altered on its way")
            << sendOrder << receive(8, line.arg(1).arg(2)) << refused << "llegó distinta de como salió";
    }

    void salespersonLogin()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(QString, says);
        ServerConnection login(QStringLiteral("salesperson"));
        QVERIFY_NO_ERROR(login.open(m_database->salesperson(QStringLiteral("A"), passwordA)));
        Transaction undone(login);
        QVERIFY_NO_ERROR(undone.begin());
        RowSet rows;
        const MaybeError error
            = sql.startsWith(QLatin1String("SELECT")) ? login.select(sql, values, rows) : login.execute(sql, values);
        QTEST(error ? error->number : 0, "number");
        QVERIFY2(error ? error->description.contains(says) : rows.text(0, QStringLiteral("N")) == says,
            qPrintable(error ? error->description : rows.text(0, QStringLiteral("N"))));
    }

    void loginRefusedNamesItsCause_data()
    {
        QTest::addColumn<QStringList>("login"); // database, user, password
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("says");
        const QString office = TestCluster::current().office();
        QTest::newRow("wrong password") << QStringList{"postgres", office, "Clave-Ñ'9"}
                                        << ServerErrorNumber::WrongPassword
                                        << QStringLiteral("la contraseña es incorrecta");
        QTest::newRow("no password") << QStringList{"postgres", "nadie"} << ServerErrorNumber::PasswordNeeded
                                     << QStringLiteral("pide la contraseña del usuario nadie");
        QTest::newRow("database missing") << QStringList{"no_hay", office} << ServerErrorNumber::NoDatabase
                                          << QStringLiteral("No existe la base de datos no_hay");
    }

    void loginRefusedNamesItsCause()
    {
        QFETCH(QStringList, login);
        QFETCH(QString, says);
        ServerAddress address = TestCluster::current().address(login.at(0), login.at(1));
        address.setPassword(login.value(2));
        ServerConnection connection(QStringLiteral("refused"));
        const MaybeError error = connection.open(address);
        QTEST(error ? error->number : 0, "number");
        QVERIFY2(error->description.contains(says), qPrintable(error->description));
        QVERIFY(login.size() < 3 || !error->description.contains(login.at(2)));
        QVERIFY(!connection.isOpen());
    }

    // A company database of the first format (no fingerprints, no marks, no exports, and logins
    // that could insert rows): laptops refuse it until server-init brings it forward, which
    // fingerprints the orders already there and takes the insert away.
    void firstFormatBroughtForward()
    {
        TestCompanyDatabase company;
        QVERIFY(company.isValid() && company.initialise({{QStringLiteral("A"), passwordA}}));
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(company.office()));
        ServerConnection salesperson(QStringLiteral("salesperson"));
        QVERIFY_NO_ERROR(salesperson.open(company.salesperson(QStringLiteral("A"), passwordA)));
        OrderUpload::Received received;
        QVERIFY_NO_ERROR(OrderUpload::send(salesperson, order7(), received));
        for (const char *statement : {"ALTER TABLE PEDIDOS DROP COLUMN HUELLA, DROP COLUMN EXPORTACION",
                 "ALTER TABLE LINEAS_PEDIDOS DROP COLUMN EN_CATALOGO", "DROP TABLE EXPORTACIONES",
                 "UPDATE SCHEMA_VERSION SET VERSION = 1"})
            QVERIFY_NO_ERROR(office.execute(QString::fromLatin1(statement)));
        QVERIFY_NO_ERROR(office.execute(
            QStringLiteral("GRANT INSERT ON PEDIDOS TO %1").arg(SalespersonCode::defaultLogin(company.name(), "A"))));
        QCOMPARE(CompanySchema::check(salesperson)->number, ServerErrorNumber::OlderSchema);

        QVERIFY_NO_ERROR(CompanySchema::create(office));
        QVERIFY_NO_ERROR(CompanySchema::check(salesperson));
        QVERIFY_NO_ERROR(OrderUpload::send(salesperson, order7(), received));
        QCOMPARE(received.outcome, OrderUpload::Outcome::AlreadyThere);
        QCOMPARE(
            salesperson.execute(QStringLiteral("INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO) VALUES ('A', 8)"))->number,
            ServerErrorNumber::NotAllowed);
        QCOMPARE(rowsOf(office, QStringLiteral("SELECT COUNT(*) FROM LINEAS_PEDIDOS WHERE EN_CATALOGO IS NULL")),
            QStringList({"0"}));
    }

    // A laptop of salesperson V07 sends order #101 (customer "Nuevo", three of article A1), its
    // counter at its highest order. The server may hold #101 already: the same order, sent
    // before the laptop could record it, or another one (customer "Viejo", one A1), from a
    // laptop reinstalled with its counter below the server's. Only the salesperson's own
    // questions are answered.
    void sends_data()
    {
        QTest::addColumn<QString>("onServer"); // "", "same" or "other"
        QTest::addColumn<int>("laptopOrder"); // the laptop's order, numbered as it was confirmed
        QTest::addColumn<int>("counter"); // the laptop's last order number
        QTest::addColumn<QList<int>>("answers"); // the salesperson's answers, in order
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("state"); // ENVIOS; the server's orders; A1's stock; the local orders: lines, counter

        const QString stays
            = QStringLiteral("\nLas órdenes no enviadas quedan guardadas en este equipo y se enviarán la próxima vez.");
        QTest::newRow("a new order") << "" << 101 << 101 << QList<int>{} << "Órdenes enviadas al servidor: 1."
                                     << "101 | 101 Nuevo | 97 | 101 Nuevo 1 101";
        QTest::newRow("the same order again")
            << "same" << 101 << 101 << QList<int>{}
            << "Órdenes enviadas al servidor: 0.\nÓrdenes que ya estaban en el servidor: 1."
            << "101 | 101 Nuevo | 97 | 101 Nuevo 1 101";
        QTest::newRow("another order under its number, left waiting")
            << "other" << 101 << 101 << QList<int>{Dialogs::No}
            << "Órdenes que no se pudieron enviar: 1.\nEl servidor ya tiene otra orden #101 del vendedor V07 (cliente "
               "Viejo, fecha 01/03/2024)."
                + stays
                + "\nUna orden con un número que el servidor ya tiene no se enviará con ese número: al exportar de "
                  "nuevo, el programa ofrece darle el siguiente número libre."
            << " | 101 Viejo | 99 | 101 Nuevo 1 101";
        QTest::newRow("another order under its number, renumbered")
            << "other" << 101 << 101 << QList<int>{Dialogs::Yes}
            << "Órdenes enviadas al servidor: 1.\nLa orden #101 pasó a ser la #102 y se envió."
            << "102 | 101 Viejo, 102 Nuevo | 96 | 102 Nuevo 1 102";
        QTest::newRow("a counter behind the server's, raised")
            << "other" << 51 << 51 << QList<int>{Dialogs::Yes} << "Órdenes enviadas al servidor: 1."
            << "51 | 51 Nuevo, 101 Viejo | 96 | 51 Nuevo 1 101";
    }

    void sends()
    {
        QFETCH(QString, onServer);
        QFETCH(int, laptopOrder);
        QFETCH(int, counter);
        QFETCH(QList<int>, answers);
        TestCompanyDatabase company;
        const QString v07 = QStringLiteral("V07");
        QVERIFY(company.isValid() && company.initialise({{v07, passwordA}}) && company.usePasswordFile());
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(company.office()));
        QVERIFY_NO_ERROR(
            office.execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES ('A1', 100)")));
        TestLaptop laptop(company, v07);
        QVERIFY(laptop.isValid() && addOrder(laptop, laptopOrder, QStringLiteral("Nuevo"), 3));
        QVERIFY(laptop.database().exec(QStringLiteral("UPDATE SETUP SET ULTIMO_PEDIDO = ?"), {counter}));
        Connection local(QStringLiteral("laptop"));
        QVERIFY_NO_ERROR(local.open(laptop.path()));
        if (!onServer.isEmpty()) {
            TestLaptop before(company, v07);
            QList<ServerOrder> orders;
            if (onServer == QLatin1String("same"))
                QVERIFY_NO_ERROR(SentOrders::unsent(local, std::nullopt, 1, orders));
            else
                QVERIFY(addOrder(before, 101, QStringLiteral("Viejo"), 1));
            ServerConnection earlier(QStringLiteral("earlier"));
            QVERIFY_NO_ERROR(earlier.open(company.salesperson(v07, passwordA)));
            Connection previous(QStringLiteral("previous"));
            QVERIFY_NO_ERROR(previous.open(before.path()));
            if (orders.isEmpty())
                QVERIFY_NO_ERROR(SentOrders::unsent(previous, std::nullopt, 1, orders));
            OrderUpload::Received received;
            QVERIFY_NO_ERROR(OrderUpload::send(earlier, orders.first(), received));
            QCOMPARE(received.outcome, OrderUpload::Outcome::Stored);
        }

        ScriptedDialogs dialogs;
        for (const int answer : std::as_const(answers))
            dialogs.answerMessage(Dialogs::Button(answer));
        const OrderSender::Result result = OrderSender::sendAll(local, dialogs);
        QTEST(result.text(), "told");
        QCOMPARE(dialogs.pendingAnswers(), 0);
        QTEST(
            QStringList({laptop.database()
                                .scalar(QStringLiteral("SELECT GROUP_CONCAT(NRO_PEDIDO, ', ') FROM ENVIOS"))
                                .toString(),
                            rowsOf(office,
                                QStringLiteral("SELECT NRO_PEDIDO || ' ' || CLIENTE FROM PEDIDOS ORDER BY NRO_PEDIDO"))
                                .join(QStringLiteral(", ")),
                            rowsOf(office, QStringLiteral("SELECT STK_ACTUAL FROM ARTICULOS")).join(QString()),
                            laptop.database()
                                .scalar(QStringLiteral(
                                    "SELECT GROUP_CONCAT(NRO_PEDIDO || ' ' || CLIENTE || ' ' || (SELECT COUNT(*) "
                                    "FROM LINEAS_PEDIDOS L WHERE L.NRO_PEDIDO = P.NRO_PEDIDO) || ' ' || (SELECT "
                                    "ULTIMO_PEDIDO FROM SETUP), ', ') FROM PEDIDOS P"))
                                .toString()})
                .join(QStringLiteral(" | ")),
            "state");
    }

    // An order the server refuses stays waiting, is counted as not sent, and goes once mended.
    void refusedOrderWaitsAndGoesOnceMended()
    {
        TestCompanyDatabase company;
        QVERIFY(
            company.isValid() && company.initialise({{QStringLiteral("V1"), passwordA}}) && company.usePasswordFile());
        TestLaptop laptop(company, QStringLiteral("V1"));
        QVERIFY(laptop.isValid() && addOrder(laptop, 1, QStringLiteral("Uno"), 1)
            && addOrder(laptop, 2, QString(32768, QLatin1Char('x')), 1));
        Connection local(QStringLiteral("laptop"));
        QVERIFY_NO_ERROR(local.open(laptop.path()));
        ScriptedDialogs dialogs;
        const OrderSender::Result first = OrderSender::sendAll(local, dialogs);
        QCOMPARE(first.text(),
            QStringLiteral("Órdenes enviadas al servidor: 1.\nÓrdenes que no se pudieron enviar: 1.\nOrden 2: El "
                           "servidor rechazó la operación: en la orden 2, el campo Cliente tiene más de 32767 "
                           "caracteres\nLas órdenes no enviadas quedan guardadas en este equipo y se enviarán la "
                           "próxima vez."));
        int unsent = 0;
        QVERIFY_NO_ERROR(SentOrders::unsentCount(local, unsent));
        QCOMPARE(unsent, 1);
        QVERIFY(laptop.database().exec(QStringLiteral("UPDATE PEDIDOS SET CLIENTE = 'Dos' WHERE NRO_PEDIDO = 2")));
        QCOMPARE(OrderSender::sendAll(local, dialogs).text(), QStringLiteral("Órdenes enviadas al servidor: 1."));
        QVERIFY_NO_ERROR(SentOrders::unsentCount(local, unsent));
        QCOMPARE(unsent, 0);
    }

    // A salesperson's code by one rule, in the settings and in the database tool: trimmed,
    // letters A-Z, digits, '-' and '_', up to twenty, in capitals; told apart from no other
    // code by case. The tool gives the login its name from the code.
    void salespersonCodes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // or what the refusal says
        QTest::newRow("blanks and lower case") << " v23 "
                                               << "V23";
        QTest::newRow("dash, underscore, twenty long") << "zona-1_b0123456789ab"
                                                       << "ZONA-1_B0123456789AB";
        QTest::newRow("twenty-one long") << "zona-1_b0123456789abc"
                                         << "no sirve";
        QTest::newRow("a blank inside") << "V 24"
                                        << "no sirve";
        QTest::newRow("a quote") << "V'25"
                                 << "no sirve";
        QTest::newRow("a semicolon") << "V26;"
                                     << "no sirve";
        QTest::newRow("an accent") << "VÑ27"
                                   << "no sirve";
        QTest::newRow("nothing") << "  "
                                 << "Falta el código del vendedor";
        QTest::newRow("one there in another case") << "a"
                                                   << "El vendedor A ya existe.";
    }

    void salespersonCodes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QString refusal;
        const std::optional<ServerSettings> settings
            = ServerSettings::validate({{}, {}, QStringLiteral("empresa"), typed}, &refusal);
        if (stored.startsWith(QLatin1String("El vendedor")))
            QCOMPARE(settings ? settings->salesperson : refusal, stored.section(QLatin1Char(' '), 2, 2));
        else
            QVERIFY2(settings ? settings->salesperson == stored : refusal.contains(stored), qPrintable(refusal));

        const auto tool = startTool(
            {QStringLiteral("server-add-salesperson"), m_database->url(), typed, QStringLiteral("Vendedor")});
        tool->write("clave\n");
        tool->closeWriteChannel();
        QVERIFY(tool->waitForFinished(30000));
        const QString output = outputOf(*tool);
        if (settings && !stored.startsWith(QLatin1String("El vendedor"))) {
            QVERIFY2(tool->exitCode() == 0, qPrintable(output));
            ServerConnection office(QStringLiteral("office"));
            QVERIFY_NO_ERROR(office.open(m_database->office()));
            QCOMPARE(rowsOf(office, QStringLiteral("SELECT USUARIO FROM VENDEDORES WHERE CODIGO = ?"), {stored}),
                QStringList(SalespersonCode::defaultLogin(m_database->name(), stored)));
        } else {
            QVERIFY2(tool->exitCode() != 0 && output.contains(stored), qPrintable(output));
        }
    }

    // Twenty salespeople send at once, each from its own database as a process of its own. One
    // sender is killed mid-send, then the server stops mid-send; sending again completes, and
    // the server holds every order once, with its lines and the stock it lowers.
    void twentyAtOnceThroughAKillAndAStop()
    {
        TestCompanyDatabase company;
        QVERIFY(company.isValid());
        QList<QPair<QString, QString>> logins;
        for (int i = 0; i < salespeople; ++i)
            logins.append({code(i), QStringLiteral("clave %1").arg(code(i))});
        QVERIFY(company.initialise(logins));
        QVERIFY(company.usePasswordFile());

        // The office loads the catalogue: a record left out is told, a code given twice keeps its
        // later record, and loading the same list again changes nothing, so that no laptop would
        // bring it down again.
        QTemporaryDir folder;
        QFile list(folder.filePath(QStringLiteral("entrada.dat")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("\"A000\",\"F\",\"V\",5,\"abc\",01/03/2024\r\n\"A000\",\"F\",\"V\",5,\"1,5\",01/03/2024\r\n");
        QStringList articles;
        for (int i = 0; i < 40; ++i) {
            articles.append(QStringLiteral("A%1").arg(i, 3, 10, QLatin1Char('0')));
            list.write(QStringLiteral("\"%1\",\"F\",\"Artículo\",%2,\"1.234,5\",01/03/2024\r\n")
                           .arg(articles.last())
                           .arg(initialStock)
                           .toUtf8());
        }
        list.close();
        for (const int changed : {40, 0}) {
            const auto load = startTool({QStringLiteral("server-load"), company.url(), list.fileName()});
            QVERIFY(ended(*load, 60000));
            const QString output = outputOf(*load);
            QVERIFY2(load->exitCode() == 3
                    && output.contains(QStringLiteral("Línea 1: el precio «abc» no es un número"))
                    && output.contains(
                        QStringLiteral("nuevos o cambiados en el catálogo de la empresa: %1.").arg(changed)),
                qPrintable(output));
        }
        auto office = std::make_unique<ServerConnection>(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office->open(company.office()));
        const auto count = [&office](const QString &what, const QVariantList &values = {}) {
            return rowsOf(*office, QStringLiteral("SELECT COUNT(*) FROM ") + what, values).value(0).toLongLong();
        };
        QCOMPARE(count(QStringLiteral("ARTICULOS WHERE P_UNITARIO = ? AND FECHA_ACT = ?"), {1234.5, QDate(2024, 3, 1)}),
            qint64(40));
        // Every laptop holds the same orders: each article is lowered twenty times its share.
        QHash<QString, qint64> lowered;
        for (int order = 1, next = 0; order <= ordersEach; ++order) {
            for (int line = 1; line <= linesEach; ++line)
                lowered[articles.at(next++ % articles.size())] += salespeople * TestLaptop::quantity(order, line);
        }
        std::vector<std::unique_ptr<TestLaptop>> laptops;
        for (int i = 0; i < salespeople; ++i) {
            laptops.push_back(std::make_unique<TestLaptop>(company, code(i)));
            QVERIFY(laptops.back()->isValid());
            QVERIFY(laptops.back()->addOrders(1, ordersEach, linesEach, articles));
        }
        const auto senders = sendFrom(laptops);

        // The first sender dies as soon as its first orders are on the server.
        const QString ofFirst = QStringLiteral("PEDIDOS WHERE VENDEDOR = ?");
        QVERIFY(QTest::qWaitFor([&] { return count(ofFirst, {code(0)}) > 0; }, 60000));
        senders[0]->kill();
        QVERIFY(ended(*senders[0], 10000));
        const qint64 beforeKill = count(ofFirst, {code(0)});
        QVERIFY2(beforeKill > 0 && beforeKill < ordersEach, qPrintable(QString::number(beforeKill)));

        // Then the server stops, as a crash would, while the others send.
        QVERIFY(
            QTest::qWaitFor([&] { return count(QStringLiteral("PEDIDOS")) >= salespeople * ordersEach / 4; }, 120000));
        QVERIFY(TestCluster::current().run(QStringLiteral("halt")));
        // Whatever happens below, the tests after this one find the server running.
        auto resume = qScopeGuard([] { TestCluster::current().run(QStringLiteral("resume")); });
        office.reset();
        int toldTheStop = 0;
        for (int i = 1; i < salespeople; ++i) {
            QVERIFY(ended(*senders[i], 60000));
            QCOMPARE(senders[i]->exitStatus(), QProcess::NormalExit);
            const QString output = outputOf(*senders[i]);
            if (senders[i]->exitCode() != 0) {
                QVERIFY2(output.contains(QStringLiteral("Se perdió la conexión"))
                        || output.contains(QStringLiteral("No se pudo llegar al servidor")),
                    qPrintable(output));
                ++toldTheStop;
            }
        }
        QVERIFY(toldTheStop > 0);
        resume.dismiss();
        QVERIFY(TestCluster::current().run(QStringLiteral("resume")));

        // Everyone sends again, the killed one too.
        for (const auto &again : sendFrom(laptops)) {
            QVERIFY(ended(*again, 120000));
            QVERIFY2(
                again->exitStatus() == QProcess::NormalExit && again->exitCode() == 0, qPrintable(outputOf(*again)));
        }

        office = std::make_unique<ServerConnection>(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office->open(company.office()));
        QCOMPARE(count(QStringLiteral("PEDIDOS")), qint64(salespeople * ordersEach));
        QCOMPARE(count(QStringLiteral("(SELECT VENDEDOR FROM PEDIDOS P GROUP BY VENDEDOR HAVING COUNT(*) = ? AND "
                                      "MAX(NRO_PEDIDO) = ? AND (SELECT COUNT(*) FROM LINEAS_PEDIDOS L WHERE "
                                      "L.VENDEDOR = P.VENDEDOR) = ?) AS V"),
                     {ordersEach, ordersEach, ordersEach * linesEach}),
            qint64(salespeople));
        RowSet stock;
        QVERIFY_NO_ERROR(office->select(QStringLiteral("SELECT COD_ART, STK_ACTUAL FROM ARTICULOS"), {}, stock));
        QCOMPARE(stock.count(), int(articles.size()));
        for (int row = 0; row < stock.count(); ++row)
            QCOMPARE(stock.value(row, QStringLiteral("STK_ACTUAL")).toLongLong(),
                initialStock - lowered.value(stock.text(row, QStringLiteral("COD_ART"))));

        // Each laptop knows every one of its orders is on the server.
        for (const auto &laptop : laptops) {
            Connection local(QStringLiteral("laptop"));
            QVERIFY_NO_ERROR(local.open(laptop->path(), Connection::Mode::ReadOnly));
            int unsent = -1;
            QVERIFY_NO_ERROR(SentOrders::unsentCount(local, unsent));
            QCOMPARE(unsent, 0);
        }
    }

    // A laptop's catalogue brought down: the first time every article, with the import's rules (one
    // it held is replaced, one of its own kept); then only what changed since; then nothing.
    void catalogueBroughtDownByChange()
    {
        TestLaptop laptop(*m_database, QStringLiteral("A"));
        QVERIFY(laptop.isValid());
        const TestDatabase &local = laptop.database();
        QVERIFY(local.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO) "
                                          "VALUES ('A1', 'Viejo', 99, 1.5), ('L9', 'Solo aquí', 5, 1.5)")));
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_database->office()));
        ServerConnection server(QStringLiteral("salesperson"));
        QVERIFY_NO_ERROR(server.open(m_database->salesperson(QStringLiteral("A"), passwordA)));
        Connection connection(QStringLiteral("laptop"));
        QVERIFY_NO_ERROR(connection.open(laptop.path()));
        ScriptedDialogs dialogs;
        // How many came down of how many had changed, and the articles as the laptop then holds them.
        const auto bringDown = [&] {
            const CatalogueUpdate::Result result = CatalogueUpdate(server, connection, dialogs).run();
            return QStringList{QStringLiteral("%1 of %2").arg(result.applied).arg(result.total),
                local
                    .scalar(QStringLiteral("SELECT GROUP_CONCAT(COD_ART || '|' || DESCRIPCION || '|' || STK_ACTUAL "
                                           "|| '|' || P_UNITARIO, ' ') FROM (SELECT * FROM ARTICULOS ORDER BY 1)"))
                    .toString()};
        };
        QVERIFY_NO_ERROR(office.execute(
            QStringLiteral("UPDATE ARTICULOS SET DESCRIPCION = 'Art ' || COD_ART, STK_ACTUAL = 20, P_UNITARIO = 2.5")));
        QCOMPARE(bringDown(),
            QStringList({"3 of 3", "A1|Art A1|20|2.5 A2|Art A2|20|2.5 A3|Art A3|20|2.5 L9|Solo aquí|5|1.5"}));
        QVERIFY_NO_ERROR(office.execute(QStringLiteral("UPDATE ARTICULOS SET P_UNITARIO = 7.25 WHERE COD_ART = 'A2'")));
        QVERIFY(local.exec(QStringLiteral("UPDATE ARTICULOS SET STK_ACTUAL = 17 WHERE COD_ART = 'A3'")));
        const QString now = "A1|Art A1|20|2.5 A2|Art A2|20|7.25 A3|Art A3|17|2.5 L9|Solo aquí|5|1.5";
        QCOMPARE(bringDown(), QStringList({"1 of 1", now}));
        QCOMPARE(bringDown(), QStringList({"0 of 0", now}));
    }

    // A password the password file lacks is asked once in a run, in a secret box, and kept in
    // memory only: the laptop's file never holds it, and the next run (a process of its own) asks again.
    void typedPasswordKeptForTheRunOnly()
    {
        TestLaptop laptop(*m_database, QStringLiteral("B"));
        QVERIFY(laptop.isValid() && laptop.addOrders(1, 1, 1, {QStringLiteral("A3")}));
        Connection local(QStringLiteral("laptop"));
        QVERIFY_NO_ERROR(local.open(laptop.path()));
        ServerSettings settings;
        QVERIFY_NO_ERROR(ServerSettings::read(local, settings));
        ScriptedDialogs dialogs;
        dialogs.answerInput(passwordB);
        ServerConnection login(QStringLiteral("login"));
        QVERIFY_NO_ERROR(ServerLogin::open(login, settings, dialogs));
        const auto nextRun = startTool({QStringLiteral("server-send"), laptop.path()});
        QVERIFY(nextRun->waitForFinished(60000));
        const QString told = outputOf(*nextRun);
        QVERIFY2(nextRun->exitCode() != 0 && told.contains(QStringLiteral("pide la contraseña"))
                && told.contains(QStringLiteral("No hay una terminal donde pedir la contraseña")),
            qPrintable(told));
        QCOMPARE(OrderSender::sendAll(local, dialogs).sent, 1);
        QCOMPARE(dialogs.inputs().size(), 1);
        QVERIFY(dialogs.inputs().first().secret);
        local.close();
        const QDir folder(laptop.database().folder());
        for (const QString &file : folder.entryList(QDir::Files))
            QVERIFY(!contentOf(folder.filePath(file)).contains(passwordB.toUtf8()));
    }

    // A password from the password file that the server refuses is named as such, and another
    // one can be typed for the run.
    void refusedPasswordFromTheFileCanBeTyped()
    {
        ServerLogin::forgetPasswords();
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("pgpass"));
        QFile pgpass(file);
        QVERIFY(pgpass.open(QIODevice::WriteOnly));
        pgpass.write("*:*:*:*:no es la clave\n");
        pgpass.close();
        QVERIFY(pgpass.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QByteArray before = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", QFile::encodeName(file));
        const auto restore = qScopeGuard([&before] { qputenv("PGPASSFILE", before); });
        ServerSettings settings;
        settings.host = TestCluster::current().socketFolder();
        settings.database = m_database->name();
        settings.salesperson = QStringLiteral("B");
        ScriptedDialogs dialogs;
        dialogs.answerInput(passwordB);
        ServerConnection login(QStringLiteral("login"));
        QVERIFY_NO_ERROR(ServerLogin::open(login, settings, dialogs));
        QVERIFY2(dialogs.inputs().first().prompt.contains(
                     QStringLiteral("la contraseña de %1 para %2 no fue aceptada")
                         .arg(file, SalespersonCode::defaultLogin(m_database->name(), QStringLiteral("B")))),
            qPrintable(dialogs.inputs().first().prompt));
        ServerLogin::forgetPasswords();
    }

private:
    std::unique_ptr<TestCompanyDatabase> m_database;
    qint64 m_stampBefore = 0;
};

QTEST_GUILESS_MAIN(tst_CompanyServer)
#include "tst_companyserver.moc"
