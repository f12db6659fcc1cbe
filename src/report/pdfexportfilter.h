#pragma once

#include "reportdocument.h"

#include "data/dberror.h"

#include <QString>

#include <optional>

// Writes a report's pages to a PDF file, one export per object.
class PdfExportFilter
{
public:
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // Writes the pages as PDF, replacing an existing file; on failure (missing folder, no
    // permission, path is a folder) a Spanish description naming the path and why. A file
    // that was there before stays as it was when the new one cannot be written.
    MaybeError exportReport(const ReportDocument &document);

private:
    QString m_fileName;
};
