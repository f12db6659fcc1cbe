// A day of 300 orders of 10 lines each, from the query to the PDF file, against painting the
// same texts straight onto a PDF writer. With a path argument the day's PDF is kept there (to
// look at); a second argument changes the lines per order (orders running over pages).

#include "base/globals.h"
#include "base/regional.h"
#include "benchcatalogue.h"
#include "data/connection.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "report/textfit.h"
#include "tools/democatalogue.h"

#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr int orders = 300;
int linesPerOrder = 10;

// The same texts at the same places, in the same fonts, with nothing else.
void paintTextsOnly(const ReportDocument &document, const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    painter.scale(writer.logicalDpiX() / 1440.0, writer.logicalDpiY() / 1440.0);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0)
            writer.newPage();
        for (const PlacedItem &placed : document.page(page).items) {
            const ReportItem &item = document.item(placed);
            if (!item.visible || !item.hasText() || placed.text.isEmpty())
                continue;
            painter.setFont(TextFit::font(placed.fontSize, item.bold));
            painter.setPen(item.colour);
            painter.drawText(placed.rect, int(item.alignment), placed.text);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc > 2)
        linesPerOrder = qMax(1, QByteArray(argv[2]).toInt());
    Regional::setCurrent(Regional::commaDayFirst());
    QTemporaryDir dir;
    const QString database = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
    if (MaybeError error = DemoCatalogue::synthetic(20000, 100)
                               .addDayOfOrders(QDate(2026, 12, 4), orders, linesPerOrder, 20000)
                               .createDatabase(database, benchCompany())) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    strConexion = Connection::connectionString(database);
    const QString pdf
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir(dir.path()).filePath(QStringLiteral("dia.pdf"));

    int pages = 0;
    std::printf("%d orders x %d lines\n", orders, linesPerOrder);
    const double whole = measureMs("query + layout + PDF", 7, [&] {
        rptOrden report;
        report.setCaption(QStringLiteral("lblFECHA"), QStringLiteral("04/12/2026"));
        if (MaybeError error = report.run())
            std::fprintf(stderr, "%s\n", qPrintable(error->description));
        PdfExportFilter filter;
        filter.setFileName(pdf);
        if (MaybeError error = filter.exportReport(report.document()))
            std::fprintf(stderr, "%s\n", qPrintable(error->description));
        pages = report.document().pageCount();
    });

    rptOrden report;
    report.setCaption(QStringLiteral("lblFECHA"), QStringLiteral("04/12/2026"));
    report.run();
    measureMs("  of which query + layout", 7, [&] {
        rptOrden again;
        again.setCaption(QStringLiteral("lblFECHA"), QStringLiteral("04/12/2026"));
        again.run();
    });
    const QString plain = QDir(dir.path()).filePath(QStringLiteral("plain.pdf"));
    const double texts
        = measureMs("same texts straight onto a QPdfWriter", 7, [&] { paintTextsOnly(report.document(), plain); });

    std::printf("  %d pages; whole/texts-only = %.2f\n", pages, whole / texts);
    std::printf("  targets: under 2000 ms, and within 3x of the texts alone\n");
    std::printf("a day of %d orders to PDF: %.0f ms, %.2fx the texts alone (targets: under 2000 ms, within 3x)\n",
        orders, whole, whole / texts);
    return 0;
}
