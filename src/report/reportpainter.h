#pragma once

#include "reportdocument.h"

#include <QFont>
#include <QFontMetricsF>
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

    // The family every text of the report is set in.
    static QString fontFamily();

private:
    struct TextStyle
    {
        explicit TextStyle(const QFont &font);
        QFont font;
        QFontMetricsF metrics;
    };

    QSvgRenderer *renderer(const QString &resource);
    const TextStyle &textStyle(const ReportItem &item);

    QHash<QString, std::shared_ptr<QSvgRenderer>> m_renderers;
    QHash<int, TextStyle> m_styles;
};
