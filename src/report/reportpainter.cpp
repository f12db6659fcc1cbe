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

int styleKey(const ReportItem &item)
{
    return int(std::lround(item.fontSize * twipsPerPoint)) * 2 + (item.bold ? 1 : 0);
}

} // namespace

ReportPainter::TextStyle::TextStyle(const QFont &font)
    : font(font)
    , metrics(font)
{ }

const ReportPainter::TextStyle &ReportPainter::textStyle(const ReportItem &item)
{
    const int key = styleKey(item);
    auto found = m_styles.find(key);
    if (found == m_styles.end())
        found = m_styles.emplace(key, fontOf(item));
    return *found;
}

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
                const TextStyle &style = textStyle(item);
                painter.setFont(style.font);
                painter.setPen(item.colour);
                // As many whole lines as the box holds, give or take a little: a box one line
                // high never shows a second, cut line.
                const int lineHeight = qMax(1, int(std::lround(item.fontSize * twipsPerPoint * 1.15)));
                const int lines = qMax(1, (placed.rect.height() + lineHeight / 5) / lineHeight);
                QRect box = placed.rect;
                box.setHeight(qMax(placed.rect.height(), lines * lineHeight));
                const int flags = int(item.alignment | Qt::AlignTop);
                // Most texts fit their box on one line and need no clip, which is dear in a PDF.
                if (style.metrics.horizontalAdvance(placed.text) <= box.width()
                    && !placed.text.contains(QLatin1Char('\n'))) {
                    painter.drawText(box, flags, placed.text);
                    break;
                }
                painter.save();
                painter.setClipRect(box);
                if (lines > 1) {
                    // A word longer than the box (an e-mail address) is broken rather than cut.
                    QTextOption option(item.alignment | Qt::AlignTop);
                    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                    painter.drawText(QRectF(box), placed.text, option);
                } else {
                    painter.drawText(box, flags, placed.text);
                }
                painter.restore();
                break;
            }
            }
        }
    }
    painter.restore();
}
