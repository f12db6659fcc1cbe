#include "data/connection.h"
#include "data/sentorders.h"
#include "data/server/serverconnection.h"
#include "support/testchecks.h"
#include "testcluster.h"
#include "testcompanydatabase.h"
#include "testlaptop.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

constexpr int salespeople = 20;
constexpr int ordersEach = 250;
constexpr int linesEach = 4;
constexpr int initialStock = 100000;

QString code(int salesperson)
{
    return QStringLiteral("V%1").arg(salesperson + 1, 2, 10, QLatin1Char('0'));
}

qint64 count(ServerConnection &office, const QString &sql, const QVariantList &values = {})
{
    RowSet rows;
    if (MaybeError error = office.select(sql, values, rows)) {
        qWarning() << error->description;
        return -1;
    }
    return rows.value(0, QStringLiteral("N")).toLongLong();
}

// Polls until the condition holds or the deadline passes.
bool waitFor(const std::function<bool()> &condition, int seconds)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

struct Sender
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString output() const
    {
        return QString::fromUtf8(process->readAllStandardOutput() + process->readAllStandardError());
    }
};

void start(Sender &sender, const QString &path)
{
    sender.process->start(QStringLiteral(RECORVAN_DB_TOOL), {QStringLiteral("server-send"), path});
}

} // namespace

class tst_SendUnderLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

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

        auto office = std::make_unique<ServerConnection>(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office->open(company.office()));
        QStringList articles;
        for (int i = 0; i < 40; ++i) {
            articles.append(QStringLiteral("A%1").arg(i, 3, 10, QLatin1Char('0')));
            QVERIFY_NO_ERROR(
                office->execute(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES (?, ?)"),
                    {articles.last(), initialStock}));
        }
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

        std::vector<Sender> senders(salespeople);
        for (int i = 0; i < salespeople; ++i)
            start(senders[i], laptops[i]->path());

        // The first sender dies as soon as its first orders are on the server.
        const QString ofFirst = QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDOS WHERE VENDEDOR = ?");
        QVERIFY(waitFor([&] { return count(*office, ofFirst, {code(0)}) > 0; }, 60));
        senders[0].process->kill();
        QVERIFY(senders[0].process->waitForFinished(10000));
        const qint64 beforeKill = count(*office, ofFirst, {code(0)});
        QVERIFY2(beforeKill > 0 && beforeKill < ordersEach, qPrintable(QString::number(beforeKill)));

        // Then the server stops, as a crash would, while the others send.
        const QString all = QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDOS");
        QVERIFY(waitFor([&] { return count(*office, all) >= salespeople * ordersEach / 4; }, 120));
        QVERIFY(TestCluster::current().halt());
        office.reset();
        int toldTheStop = 0;
        for (int i = 1; i < salespeople; ++i) {
            QVERIFY(senders[i].process->waitForFinished(60000));
            QCOMPARE(senders[i].process->exitStatus(), QProcess::NormalExit);
            const QString output = senders[i].output();
            if (senders[i].process->exitCode() != 0) {
                QVERIFY2(output.contains(QStringLiteral("Se perdió la conexión"))
                        || output.contains(QStringLiteral("No se pudo llegar al servidor")),
                    qPrintable(output));
                ++toldTheStop;
            }
        }
        QVERIFY(toldTheStop > 0);
        QVERIFY(TestCluster::current().resume());

        // Everyone sends again, the killed one too.
        std::vector<Sender> again(salespeople);
        for (int i = 0; i < salespeople; ++i)
            start(again[i], laptops[i]->path());
        for (int i = 0; i < salespeople; ++i) {
            QVERIFY(again[i].process->waitForFinished(120000));
            QVERIFY2(again[i].process->exitStatus() == QProcess::NormalExit && again[i].process->exitCode() == 0,
                qPrintable(again[i].output()));
        }

        office = std::make_unique<ServerConnection>(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office->open(company.office()));
        QCOMPARE(count(*office, all), qint64(salespeople * ordersEach));
        QCOMPARE(count(*office, QStringLiteral("SELECT COUNT(*) AS N FROM LINEAS_PEDIDOS")),
            qint64(salespeople * ordersEach * linesEach));
        QCOMPARE(count(*office,
                     QStringLiteral("SELECT COUNT(*) AS N FROM (SELECT VENDEDOR FROM PEDIDOS GROUP BY VENDEDOR "
                                    "HAVING COUNT(*) = ? AND MAX(NRO_PEDIDO) = ?) AS V"),
                     {ordersEach, ordersEach}),
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
};

QTEST_GUILESS_MAIN(tst_SendUnderLoad)
#include "tst_sendunderload.moc"
