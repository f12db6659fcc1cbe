#include "orderexport.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "reportpreview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString attention = MessageTitles::attention();

} // namespace

void OrderExport::run(const QString &date, bool toPdf, const QString &path, QWidget *parent, Dialogs &dialogs)
{
    // The order number keeps its "0", so the report selects by date.
    rptOrden report;
    report.setCaption(QStringLiteral("lblFECHA"), date);
    if (const MaybeError failure = report.run()) {
        dialogs.message(failure->description, attention, Dialogs::Critical, Dialogs::Ok);
        // A report that ran has pages even when it has something to say (a line without a
        // price): the day is still written and shown, that amount blank.
        if (report.document().pageCount() == 0)
            return;
    }

    if (toPdf) {
        PdfExportFilter filter;
        filter.setFileName(path);
        // A file that cannot be written is told as such, and never followed by the success text.
        if (const MaybeError failure = filter.exportReport(report.document())) {
            dialogs.message(failure->description, attention, Dialogs::Critical, Dialogs::Ok);
        } else {
            dialogs.message(QStringLiteral("Se exportó el archivo satisfactoriamente.\nSe procederá a visulizarlo."),
                attention, Dialogs::Information, Dialogs::Ok);
        }
    }

    ReportPreview::show(report.document(), parent);
}

bool OrderExport::replacesOtherFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    // A file that cannot even be read is not known to be a PDF either.
    return !file.open(QIODevice::ReadOnly) || !file.read(5).startsWith("%PDF-");
}

QString OrderExport::replaceQuestion(const QString &path)
{
    return QStringLiteral("El archivo \"%1\" ya existe y no es un archivo PDF.\n¿Desea reemplazarlo por el PDF de los "
                          "pedidos?")
        .arg(QDir::toNativeSeparators(path));
}
