#include "data/connection.h"
#include "data/sentorders.h"
#include "data/server/catalogueupdate.h"
#include "data/server/companyschema.h"
#include "data/server/ordersender.h"
#include "data/server/orderupload.h"
#include "data/server/serverconnection.h"
#include "data/server/servererrornumber.h"
#include "data/server/serverlogin.h"
#include "data/server/servertransaction.h"
#include "data/serverorder.h"
#include "data/serversettings.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testfiles.h"
#include "testcluster.h"
#include "testcompanydatabase.h"
#include "testlaptop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
            OrderUpload::Outcome sent;
            QVERIFY_NO_ERROR(OrderUpload::send(salesperson, order7(), sent));
            QCOMPARE(sent, outcome);
        }
    }

    void sentTwiceStoredOnceStockLoweredOnce()
    {
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_database->office()));
        OrderUpload::Outcome outcome;
        const MaybeError refused = OrderUpload::send(office, order7(), outcome);
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

    // What salesperson A's login may do, each in a transaction that is then undone.
    void salespersonLogin_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("number"); // 0: allowed
        QTest::addColumn<int>("count"); // for a count, what it finds; -1 otherwise

        const QString a = QStringLiteral("A");
        const QString b = QStringLiteral("B");
        const QString insertOrder = QStringLiteral("INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO) VALUES (?, ?)");
        const int notAllowed = ServerErrorNumber::NotAllowed;
        QTest::newRow("sees its own order") << "SELECT COUNT(*) AS N FROM PEDIDOS" << QVariantList{} << 0 << 1;
        QTest::newRow("sees no other lines")
            << "SELECT COUNT(*) AS N FROM LINEAS_PEDIDOS WHERE VENDEDOR = ?" << QVariantList{b} << 0 << 0;
        QTest::newRow("reads the catalogue") << "SELECT COUNT(*) AS N FROM ARTICULOS" << QVariantList{} << 0 << 3;
        QTest::newRow("inserts its own order") << insertOrder << QVariantList{a, 2} << 0 << -1;
        QTest::newRow("inserts no order for another") << insertOrder << QVariantList{b, 2} << notAllowed << -1;
        QTest::newRow("changes no order")
            << "UPDATE PEDIDOS SET CLIENTE = ? WHERE VENDEDOR = ?" << QVariantList{a, b} << notAllowed << -1;
        QTest::newRow("changes no article") << "UPDATE ARTICULOS SET STK_ACTUAL = ? WHERE COD_ART = ?"
                                            << QVariantList{99, QStringLiteral("A1")} << notAllowed << -1;
        QTest::newRow("reads no salespeople")
            << "SELECT COUNT(*) AS N FROM VENDEDORES" << QVariantList{} << notAllowed << -1;
        QTest::newRow("adds no salesperson")
            << "SELECT ALTA_VENDEDOR(?, ?, ?, ?)" << QVariantList{b, b, b, b} << notAllowed << -1;
    }

    void salespersonLogin()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(int, count);
        ServerConnection login(QStringLiteral("salesperson"));
        QVERIFY_NO_ERROR(login.open(m_database->salesperson(QStringLiteral("A"), passwordA)));
        ServerTransaction undone(login);
        QVERIFY_NO_ERROR(undone.begin());
        RowSet rows;
        const MaybeError error
            = sql.startsWith(QLatin1String("SELECT")) ? login.select(sql, values, rows) : login.execute(sql, values);
        QTEST(error ? error->number : 0, "number");
        if (count >= 0)
            QCOMPARE(rows.value(0, QStringLiteral("N")).toInt(), count);
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
            QVERIFY(load->waitForFinished(60000));
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
        QVERIFY(senders[0]->waitForFinished(10000));
        const qint64 beforeKill = count(ofFirst, {code(0)});
        QVERIFY2(beforeKill > 0 && beforeKill < ordersEach, qPrintable(QString::number(beforeKill)));

        // Then the server stops, as a crash would, while the others send.
        QVERIFY(
            QTest::qWaitFor([&] { return count(QStringLiteral("PEDIDOS")) >= salespeople * ordersEach / 4; }, 120000));
        QVERIFY(TestCluster::current().run(QStringLiteral("halt")));
        office.reset();
        int toldTheStop = 0;
        for (int i = 1; i < salespeople; ++i) {
            QVERIFY(senders[i]->waitForFinished(60000));
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
        QVERIFY(TestCluster::current().run(QStringLiteral("resume")));

        // Everyone sends again, the killed one too.
        for (const auto &again : sendFrom(laptops)) {
            QVERIFY(again->waitForFinished(120000));
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
        QVERIFY2(nextRun->exitCode() != 0 && told.contains(QStringLiteral("pide la contraseña")), qPrintable(told));
        QCOMPARE(OrderSender::sendAll(local, dialogs).sent, 1);
        QCOMPARE(dialogs.inputs().size(), 1);
        QVERIFY(dialogs.inputs().first().secret);
        local.close();
        const QDir folder(laptop.database().folder());
        for (const QString &file : folder.entryList(QDir::Files))
            QVERIFY(!contentOf(folder.filePath(file)).contains(passwordB.toUtf8()));
    }

private:
    std::unique_ptr<TestCompanyDatabase> m_database;
    qint64 m_stampBefore = 0;
};

QTEST_GUILESS_MAIN(tst_CompanyServer)
#include "tst_companyserver.moc"
