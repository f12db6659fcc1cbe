#include "pdfexportfilter.h"

#include "reportpainter.h"

#include "base/version.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

DbError failure(const QString &path, const QString &why)
{
    return {DbErrorNumber::CantOpen,
        QStringLiteral("No se pudo escribir el archivo PDF '%1': %2.").arg(QDir::toNativeSeparators(path), why)};
}

QString whyNotWritten(const QSaveFile &file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError:
    case QFileDevice::OpenError:
        return QStringLiteral("no hay permiso para escribir en la carpeta o el archivo está en uso");
    case QFileDevice::ResourceError:
        return QStringLiteral("no queda espacio en el disco");
    default:
        return file.errorString();
    }
}

} // namespace

MaybeError PdfExportFilter::exportReport(const ReportDocument &document)
{
    if (m_fileName.trimmed().isEmpty())
        return DbError{
            DbErrorNumber::CantOpen, QStringLiteral("No se pudo escribir el archivo PDF: no se indicó su nombre.")};
    const QFileInfo target(m_fileName);
    if (target.isDir())
        return failure(m_fileName, QStringLiteral("es una carpeta"));
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return failure(
            m_fileName, QStringLiteral("la carpeta '%1' no existe").arg(QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isDir())
        return failure(
            m_fileName, QStringLiteral("'%1' no es una carpeta").arg(QDir::toNativeSeparators(folder.filePath())));

    // Written aside and put in place at the end, so that a failed export never leaves half a file.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failure(m_fileName, whyNotWritten(file));
    {
        QPdfWriter writer(&file);
        writer.setTitle(QStringLiteral("Ordenes"));
        writer.setCreator(productLine());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return failure(m_fileName, QStringLiteral("no se pudo preparar el documento"));
        }
        ReportPainter pages;
        for (int page = 0; page < document.pageCount(); ++page) {
            if (page > 0)
                writer.newPage();
            pages.paint(painter, document, page);
        }
        painter.end();
    }
    if (!file.commit())
        return failure(m_fileName, whyNotWritten(file));
    return std::nullopt;
}
