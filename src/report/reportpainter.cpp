#include "reportpainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextOption>

#include <cmath>

// The artwork lives in the report library's resources; a static library needs them named.
static void initReportResources()
{
    Q_INIT_RESOURCE(report);
}

namespace {

constexpr double twipsPerPoint = 20.0;
constexpr double twipsPerInch = 1440.0;

QFont fontOf(const ReportItem &item)
{
    // Sizes are given in twips because the painter draws in twips; this keeps the text the
    // same on a 96 dpi preview and a 1200 dpi PDF.
    QFont font(ReportPainter::fontFamily());
    font.setPixelSize(qMax(1, int(std::lround(item.fontSize * twipsPerPoint))));
    font.setBold(item.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

ReportPainter::ReportPainter()
{
    initReportResources();
}

ReportPainter::~ReportPainter() = default;

QString ReportPainter::fontFamily()
{
    return QStringLiteral("Arial");
}

QSvgRenderer *ReportPainter::renderer(const QString &resource)
{
    auto found = m_renderers.find(resource);
    if (found == m_renderers.end())
        found = m_renderers.insert(resource, std::make_shared<QSvgRenderer>(resource));
    return found->get();
}

void ReportPainter::paint(QPainter &painter, const ReportDocument &document, int page)
{
    if (page < 0 || page >= document.pageCount())
        return;
    const QPaintDevice *device = painter.device();
    painter.save();
    painter.scale(device->logicalDpiX() / twipsPerInch, device->logicalDpiY() / twipsPerInch);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const ReportPage &content = document.page(page);
    QRect band;
    for (const PlacedItem &placed : content.items) {
        const ReportItem &item = document.item(placed);
        if (!item.visible)
            continue;
        switch (item.kind) {
        case ReportItem::Kind::Picture: {
            // A picture may be drawn taller than its band; it never spills into the next one.
            for (const PlacedBand &b : content.bands) {
                if (b.rect.contains(placed.rect.topLeft()))
                    band = b.rect;
            }
            painter.save();
            painter.setClipRect(placed.rect.intersected(band.isNull() ? placed.rect : band));
            if (QSvgRenderer *svg = renderer(item.text); svg->isValid())
                svg->render(&painter, placed.rect);
            painter.restore();
            break;
        }
        case ReportItem::Kind::Box:
            painter.fillRect(placed.rect, item.colour);
            break;
        case ReportItem::Kind::Label:
        case ReportItem::Kind::Field: {
            if (placed.text.isEmpty())
                break;
            const QFont font = fontOf(item);
            painter.setFont(font);
            painter.setPen(item.colour);
            // As many whole lines as the box holds, give or take a little: a box one line
            // high never shows a second, cut line.
            const int lineHeight = qMax(1, int(std::lround(item.fontSize * twipsPerPoint * 1.15)));
            const int lines = qMax(1, (placed.rect.height() + lineHeight / 5) / lineHeight);
            QRect clip = placed.rect;
            clip.setHeight(qMax(placed.rect.height(), lines * lineHeight));
            painter.save();
            painter.setClipRect(clip);
            if (lines > 1) {
                // A word longer than the box (an e-mail address) is broken rather than cut.
                QTextOption option(item.alignment | Qt::AlignTop);
                option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                painter.drawText(QRectF(clip), placed.text, option);
            } else {
                painter.drawText(clip, int(item.alignment | Qt::AlignTop), placed.text);
            }
            painter.restore();
            break;
        }
        }
    }
    painter.restore();
}
