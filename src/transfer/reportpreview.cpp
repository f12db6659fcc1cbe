#include "reportpreview.h"

#include "report/reportpainter.h"

#include <QAction>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {

std::function<void(const ReportDocument &)> &presenter()
{
    static std::function<void(const ReportDocument &)> replacement;
    return replacement;
}

void paintAll(QPrinter *printer, const ReportDocument &document)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    ReportPainter pages;
    // The printer may be asked for a range of pages; numbers are one-based there.
    int first = 1;
    int last = document.pageCount();
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = qMax(1, printer->fromPage());
        last = qMin(last, printer->toPage() > 0 ? printer->toPage() : last);
    }
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer->newPage();
        pages.paint(painter, document, page - 1);
    }
    painter.end();
}

} // namespace

void ReportPreview::show(const ReportDocument &document, QWidget *parent)
{
    if (presenter()) {
        presenter()(document);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    // The pages carry their own margins: draw from the paper's corner.
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("Preview"));
    dialog.setWindowTitle(QStringLiteral("Preview"));
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&document](QPrinter *p) { paintAll(p, document); });
    // Opens large and at the page's width, so that an order reads without zooming.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        dialog.resize(qMin(room.width() * 9 / 10, 1200), room.height() * 9 / 10);
    }
    if (auto *fitWidth = dialog.findChild<QAction *>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    dialog.exec();
}

void ReportPreview::setPresenter(std::function<void(const ReportDocument &)> presenter)
{
    ::presenter() = std::move(presenter);
}
