#include "reportpainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

// The artwork lives in the report library's resources; a static library needs them named.
static void initReportResources()
{
    Q_INIT_RESOURCE(report);
}

namespace {

constexpr double twipsPerInch = 1440.0;

} // namespace

ReportPainter::ReportPainter()
{
    initReportResources();
}

ReportPainter::~ReportPainter() = default;

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
    // Artwork first, texts over it: a text reaching a little into the next band (a line's
    // remarks) is never covered by that band's picture.
    for (const bool texts : {false, true}) {
        for (const PlacedItem &placed : content.items) {
            const ReportItem &item = document.item(placed);
            if (!item.visible || item.hasText() != texts)
                continue;
            switch (item.kind) {
            case ReportItem::Kind::Picture: {
                // A picture may be drawn taller than its band; it never spills into the next
                // one. Only the part inside the band is rendered, which costs less than a clip.
                for (const PlacedBand &b : content.bands) {
                    if (b.rect.contains(placed.rect.topLeft()))
                        band = b.rect;
                }
                const QRect visible = band.isNull() ? placed.rect : placed.rect.intersected(band);
                QSvgRenderer *svg = renderer(item.text);
                if (!svg->isValid() || visible.isEmpty())
                    break;
                const QRectF whole = svg->viewBoxF();
                const double sx = whole.width() / placed.rect.width();
                const double sy = whole.height() / placed.rect.height();
                svg->setViewBox(QRectF(whole.x() + (visible.x() - placed.rect.x()) * sx,
                    whole.y() + (visible.y() - placed.rect.y()) * sy, visible.width() * sx, visible.height() * sy));
                svg->render(&painter, visible);
                svg->setViewBox(whole);
                break;
            }
            case ReportItem::Kind::Box:
                painter.fillRect(placed.rect, item.colour);
                break;
            case ReportItem::Kind::Label:
            case ReportItem::Kind::Field: {
                if (placed.text.isEmpty())
                    break;
                // The page model holds the text as fitted to its box: drawn as it stands,
                // with no clip, which is dear in a PDF.
                const TextFit::Style style = item.textStyle();
                painter.setFont(TextFit::font(placed.fontSize, item.bold));
                painter.setPen(item.colour);
                for (const TextFit::SetLine &line :
                    m_fit.setLines({placed.fontSize, placed.text}, placed.rect, style, item.alignment))
                    painter.drawText(line.origin, line.text);
                break;
            }
            }
        }
    }
    painter.restore();
}
