// The company server over the local socket of a cluster started for the run with the test
// cluster's script: sending 1,000 orders of 10 lines, bringing down 100,000 changed articles
// (half of them known to the laptop), and a bring-down with nothing changed.

#include "base/dialogs.h"
#include "data/connection.h"
#include "server/catalogueupdate.h"
#include "server/ordersender.h"
#include "server/serverconnection.h"
#include "server/testcluster.h"
#include "server/testcompanydatabase.h"
#include "server/testlaptop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int runs = 5;
constexpr int orders = 1000;
constexpr int linesEach = 10;
constexpr int articles = 100000;

// A clean run shows no box at all.
class BenchDialogs : public Dialogs
{
public:
    int shown = 0;

protected:
    Dialogs::Button showMessage(const Message &box) override
    {
        ++shown;
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return Dialogs::Cancel;
    }
    QString showInput(const Input &box) override
    {
        ++shown;
        std::fprintf(stderr, "box: %s\n", qPrintable(box.prompt));
        return {};
    }
    QString showOpenFile(const OpenFile &) override { return {}; }
    QString showSaveFile(const SaveFile &) override { return {}; }
    int showChoice(const Choice &box) override { return box.escapeOption; }
    std::optional<QStringList> showForm(const Form &) override { return std::nullopt; }
};

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Each figure's median, for the closing summary line.
QStringList summary;

void report(const char *label, const std::vector<double> &times, double goal)
{
    std::printf("%-48s median %8.1f ms, best %8.1f ms (goal < %.0f ms)\n", label, median(times),
        *std::min_element(times.begin(), times.end()), goal);
    summary << QStringLiteral("%1 %2 ms (goal < %3)")
                   .arg(QString::fromLatin1(label))
                   .arg(median(times), 0, 'f', 0)
                   .arg(goal);
}

bool fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return false;
}

bool benchSending(TestCompanyDatabase &company, BenchDialogs &dialogs)
{
    QStringList codes;
    for (int i = 0; i < 200; ++i)
        codes.append(QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
    ServerConnection office(QStringLiteral("office"));
    if (MaybeError error = office.open(company.office()))
        return fail(error->description);
    if (MaybeError error = office.execute(
            QStringLiteral("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) SELECT 'S' || lpad(i::text, 4, '0'), 1000000 "
                           "FROM generate_series(0, ?) AS i"),
            {int(codes.size()) - 1}))
        return fail(error->description);

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        // Each run is another salesperson's laptop, so that every order is new to the server.
        TestLaptop laptop(company, QStringLiteral("V%1").arg(run));
        if (!laptop.isValid() || !laptop.addOrders(1, orders, linesEach, codes))
            return fail(QStringLiteral("cannot write the laptop's orders"));
        Connection local(QStringLiteral("laptop"));
        if (MaybeError error = local.open(laptop.path()))
            return fail(error->description);
        QElapsedTimer clock;
        clock.start();
        const OrderSender::Result result = OrderSender::sendAll(local, dialogs);
        times.push_back(clock.nsecsElapsed() / 1e6);
        if (result.sent != orders)
            return fail(result.text());
    }
    report("sending 1,000 orders of 10 lines", times, 2000);
    return true;
}

bool benchBringingDown(TestCompanyDatabase &company, BenchDialogs &dialogs)
{
    ServerConnection office(QStringLiteral("office"));
    if (MaybeError error = office.open(company.office()))
        return fail(error->description);
    if (MaybeError error = office.execute(
            QStringLiteral(
                "INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT) "
                "SELECT 'B' || lpad(i::text, 6, '0'), 'F-' || i, 'Válvula de paso ñandú modelo ' || i, "
                "i % 500, 10 + (i % 9000) / 100.0, DATE '2004-08-20' FROM generate_series(0, ?) AS i"),
            {articles - 1}))
        return fail(error->description);

    // The laptop knows half of the catalogue already.
    TestLaptop prepared(company, QStringLiteral("V0"));
    if (!prepared.isValid()
        || !prepared.database().exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                           "INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) "
                           "SELECT 'B' || substr('000000' || i, -6), 'viejo', 'viejo', 0, 1 FROM n"),
            {articles / 2}))
        return fail(QStringLiteral("cannot write the laptop's catalogue"));

    std::vector<double> changed;
    std::vector<double> unchanged;
    QTemporaryDir copies;
    for (int run = 0; run < runs; ++run) {
        const QString path = copies.filePath(QStringLiteral("laptop%1.mdb").arg(run));
        if (!QFile::copy(prepared.path(), path))
            return fail(QStringLiteral("cannot copy the laptop"));
        Connection local(QStringLiteral("laptop"));
        if (MaybeError error = local.open(path))
            return fail(error->description);
        QElapsedTimer clock;
        clock.start();
        CatalogueUpdate::Result result = CatalogueUpdate::bringDown(local, dialogs);
        changed.push_back(clock.nsecsElapsed() / 1e6);
        // The sending benchmark's articles are in the catalogue too.
        if (result.applied < articles || result.applied != result.total)
            return fail(result.text());
        clock.restart();
        result = CatalogueUpdate::bringDown(local, dialogs);
        unchanged.push_back(clock.nsecsElapsed() / 1e6);
        if (result.total != 0 || result.stoppedBy)
            return fail(result.text());
    }
    report("bringing down 100,000 changed articles", changed, 3000);
    report("bringing down with nothing changed", unchanged, 100);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchDialogs dialogs;
    Dialogs::setCurrent(&dialogs);

    QTemporaryDir state;
    if (!TestCluster::runScript(QStringLiteral("start"), state.path()))
        return 1;
    qputenv("RECORVAN_TEST_CLUSTER", QFile::encodeName(state.path()));
    bool done = TestCluster::current().isAvailable() || fail(TestCluster::current().unavailableReason());
    {
        TestCompanyDatabase company;
        QList<QPair<QString, QString>> salespeople;
        for (int run = 0; run < runs; ++run)
            salespeople.append({QStringLiteral("V%1").arg(run), QStringLiteral("clave %1").arg(run)});
        done = done && company.isValid() && company.initialise(salespeople) && company.usePasswordFile();
        done = done && benchSending(company, dialogs) && benchBringingDown(company, dialogs);
    }
    TestCluster::runScript(QStringLiteral("stop"), state.path());
    Dialogs::setCurrent(nullptr);
    std::printf("%s\n", qPrintable(summary.join(QStringLiteral("; "))));
    return done && dialogs.shown == 0 ? 0 : 1;
}
