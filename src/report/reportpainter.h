#pragma once

#include "reportdocument.h"
#include "textfit.h"

#include <QHash>
#include <QString>

#include <memory>

class QPainter;
class QSvgRenderer;

// Draws pages of a report document. The same drawing serves the preview, the printer and
// the PDF file: the painter's device is taken to start at the paper's top-left corner.
class ReportPainter
{
public:
    ReportPainter();
    ~ReportPainter();
    ReportPainter(const ReportPainter &) = delete;
    ReportPainter &operator=(const ReportPainter &) = delete;

    void paint(QPainter &painter, const ReportDocument &document, int page);

private:
    QSvgRenderer *renderer(const QString &resource);

    QHash<QString, std::shared_ptr<QSvgRenderer>> m_renderers;
    TextFit m_fit; // for the metrics of the fitted sizes
};
