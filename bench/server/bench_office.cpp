// The office's side of the company server, on a cluster started for the run: one day of 50
// salespeople x 50 orders x 10 lines. recorvan-db server-report of that day against the same
// report (query to PDF) of a laptop's database holding the same orders, and server-export --todas
// of the 25,000 lines.

#include "base/globals.h"
#include "data/connection.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "server/serverconnection.h"
#include "server/testcluster.h"
#include "server/testcompanydatabase.h"
#include "support/testdatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int runs = 5;
constexpr int salespeople = 50;
constexpr int ordersEach = 50;
constexpr int linesEach = 10;

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return false;
}

// The orders written straight into the tables, as the receiving function would have stored them.
const char *const companyOrders[] = {
    R"(INSERT INTO VENDEDORES (CODIGO, NOMBRE, USUARIO)
        SELECT 'V' || lpad(v::text, 2, '0'), 'Vendedor ' || v, 'nadie_' || v FROM generate_series(1, ?) AS v)",
    R"(INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO)
        SELECT 'A' || lpad(a::text, 4, '0'), 'Válvula de paso modelo ' || a, 1000, 10 + a / 100.0
        FROM generate_series(0, 999) AS a)",
    R"(INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, FORMA_DE_ENVIO)
        SELECT 'V' || lpad(v::text, 2, '0'), n, DATE '2024-03-01', 'Cliente ' || v || '-' || n, 'Calle ' || n,
            '80012345-' || n % 10, '021 555 ' || n, 'Transporte propio'
        FROM generate_series(1, ?) AS v, generate_series(1, ?) AS n)",
    R"(INSERT INTO LINEAS_PEDIDOS (VENDEDOR, NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO, EN_CATALOGO)
        SELECT P.VENDEDOR, P.NRO_PEDIDO, l, 'A' || lpad(((P.NRO_PEDIDO * 7 + l) % 1000)::text, 4, '0'), 1 + l % 4,
            12.5 + l, TRUE
        FROM PEDIDOS P, generate_series(1, ?) AS l)",
};

// The same 2,500 orders in one laptop's database, numbered one after the other.
bool writeLaptop(const TestDatabase &laptop)
{
    const int orders = salespeople * ordersEach;
    return laptop.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                      "INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO) SELECT 'A' "
                                      "|| substr('0000' || (i - 1), -4), 'Válvula de paso modelo ' || i, 1000, 10 FROM "
                                      "n"),
               {1000})
        && laptop.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                      "INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, "
                                      "FORMA_DE_ENVIO) SELECT i, '2024-03-01', 'Cliente ' || i, 'Calle ' || i, "
                                      "'80012345-' || i % 10, '021 555 ' || i, 'Transporte propio' FROM n"),
            {orders})
        && laptop.exec(
            QStringLiteral("WITH RECURSIVE l(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM l WHERE j < ?) "
                           "INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, "
                           "P_UNITARIO) SELECT P.NRO_PEDIDO, j, 'A' || substr('0000' || ((P.NRO_PEDIDO * 7 + "
                           "j) % 1000), -4), 1 + j % 4, 12.5 + j FROM PEDIDOS P, l"),
            {linesEach});
}

double toolRun(const QStringList &arguments, bool &ok)
{
    QProcess tool;
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(RECORVAN_DB_TOOL), arguments);
    ok = tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (!ok)
        fail(QString::fromUtf8(tool.readAllStandardError()));
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir state;
    if (!TestCluster::runScript(QStringLiteral("start"), state.path()))
        return 1;
    qputenv("RECORVAN_TEST_CLUSTER", QFile::encodeName(state.path()));
    bool done = TestCluster::current().isAvailable() || fail(TestCluster::current().unavailableReason());
    std::vector<double> office;
    std::vector<double> laptop;
    std::vector<double> exported;
    {
        TestCompanyDatabase company;
        done = done && company.isValid() && company.initialise();
        ServerConnection connection(QStringLiteral("office"));
        done = done && !connection.open(company.office());
        const QList<QVariantList> values = {{salespeople}, {}, {salespeople, ordersEach}, {linesEach}};
        for (int i = 0; done && i < 4; ++i) {
            if (MaybeError error = connection.execute(QString::fromUtf8(companyOrders[i]), values.at(i)))
                done = fail(error->description);
        }
        TestDatabase local;
        done = done && writeLaptop(local);
        strConexion = Connection::connectionString(local.path());
        QTemporaryDir files;
        for (int run = 0; done && run < runs; ++run) {
            const QString pdf = files.filePath(QStringLiteral("oficina.pdf"));
            office.push_back(toolRun({QStringLiteral("server-report"), company.url(), QStringLiteral("--fecha"),
                                         QStringLiteral("01/03/2024"), pdf},
                done));
            QElapsedTimer clock;
            clock.start();
            rptOrden report;
            report.setCaption(QStringLiteral("lblView_NRO_PEDIDO"), QStringLiteral("0"));
            report.setCaption(QStringLiteral("lblFECHA"), QStringLiteral("01/03/2024"));
            PdfExportFilter filter;
            filter.setFileName(files.filePath(QStringLiteral("equipo.pdf")));
            if (MaybeError failure = report.run(); failure || filter.exportReport(report.document()))
                done = fail(QStringLiteral("the laptop's report failed"));
            laptop.push_back(clock.nsecsElapsed() / 1e6);
            exported.push_back(toolRun({QStringLiteral("server-export"), company.url(),
                                           files.filePath(QStringLiteral("todas.csv")), QStringLiteral("--todas")},
                done));
        }
    }
    TestCluster::runScript(QStringLiteral("stop"), state.path());
    if (!done)
        return 1;
    std::printf("server-report of 2,500 orders x 10 lines   median %8.1f ms (goal < 5000 ms)\n", median(office));
    std::printf("the same report from a laptop's database  median %8.1f ms\n", median(laptop));
    std::printf("server-export --todas of 25,000 lines      median %8.1f ms (goal < 2000 ms)\n", median(exported));
    std::printf("server-report %.0f ms (goal < 5000), %.2f x the laptop's (goal < 3); server-export %.0f ms "
                "(goal < 2000)\n",
        median(office), median(office) / median(laptop), median(exported));
    return 0;
}
