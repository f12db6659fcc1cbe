#include "textfit.h"

#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace {

constexpr int twipsPerPoint = 20;

int toTwips(double points)
{
    return qMax(1, int(std::lround(points * twipsPerPoint)));
}

double toPoints(int twips)
{
    return double(twips) / twipsPerPoint;
}

QFont fontAt(int twips, bool bold)
{
    // The painter draws in twips, so the size is given in twips too; unhinted, so that a text
    // measures the same on a 96 dpi preview and a 1200 dpi PDF.
    QFont font(TextFit::family());
    font.setPixelSize(twips);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A one-line box takes the lines of its text end to end.
QString flattened(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return text;
}

// A box of several lines keeps the text's own line breaks.
QString withPlainBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString lineOf(const QString &text, std::pair<qsizetype, qsizetype> range)
{
    QString line = text.mid(range.first, range.second);
    while (!line.isEmpty() && line.back().isSpace())
        line.chop(1);
    return line;
}

} // namespace

QString TextFit::family()
{
    return QStringLiteral("Arial");
}

QFont TextFit::font(double fontSize, bool bold)
{
    return fontAt(toTwips(fontSize), bold);
}

TextFit::Measure::Measure(const QFont &font)
    : metrics(font)
{
    advances.fill(-1);
}

TextFit::Measure &TextFit::measure(int twips, bool bold)
{
    const int key = twips * 2 + (bold ? 1 : 0);
    auto found = m_measures.find(key);
    if (found == m_measures.end())
        found = m_measures.insert(key, std::make_shared<Measure>(fontAt(twips, bold)));
    return **found;
}

bool TextFit::fitsOnOneLine(const QString &text, int twips, bool bold, double width)
{
    Measure &m = measure(twips, bold);
    // Most texts are well inside their box, which the sum of their characters' advances shows
    // at a fraction of the cost of setting the line: kerning moves a line by far less than the
    // tenth kept aside. Anything closer is measured as it will be drawn.
    double estimate = 0;
    for (const QChar c : text) {
        if (c.unicode() >= m.advances.size()) {
            estimate = width;
            break;
        }
        double &advance = m.advances[c.unicode()];
        if (advance < 0)
            advance = m.metrics.horizontalAdvance(c);
        estimate += advance;
    }
    return estimate <= width * 0.9 || m.metrics.horizontalAdvance(text) <= width;
}

int TextFit::lineCapacity(int boxHeight, const Style &style)
{
    // A line may reach a fifth of its height below the box: the space under the last
    // descender is empty anyway.
    const double spacing = metrics(toTwips(style.fontSize), style.bold).lineSpacing();
    return qMax(1, int((boxHeight + spacing / 5) / spacing));
}

FittedText TextFit::fit(const QString &text, QSize box, const Style &style)
{
    if (text.isEmpty())
        return {style.fontSize, text};
    const double width = qMax(1, box.width() - 2 * sideClearance);
    const int lines = lineCapacity(box.height(), style);
    if (lines == 1)
        return fitOneLine(flattened(text), width, style);
    return fitLines(withPlainBreaks(text), width, lines, style);
}

FittedText TextFit::fitOneLine(const QString &text, double width, const Style &style)
{
    const int nominal = toTwips(style.fontSize);
    if (fitsOnOneLine(text, nominal, style.bold, width))
        return {style.fontSize, text};
    const double advance = metrics(nominal, style.bold).horizontalAdvance(text);
    const int floor = style.overflow == Overflow::Shrink ? 1 : toTwips(readableFloor);
    // A text's width grows almost in proportion to its size: start there, then step down.
    int twips = qMax(floor, qMin(nominal - 1, int(nominal * width / advance)));
    while (twips > floor && !fitsOnOneLine(text, twips, style.bold, width))
        --twips;
    if (style.overflow == Overflow::Shrink || fitsOnOneLine(text, twips, style.bold, width))
        return {toPoints(twips), text};
    return {toPoints(floor), metrics(floor, style.bold).elidedText(text, Qt::ElideRight, width)};
}

QList<std::pair<qsizetype, qsizetype>> TextFit::wrap(const QString &text, int twips, bool bold, double width)
{
    QList<std::pair<qsizetype, qsizetype>> lines;
    QTextOption option;
    // A word longer than the box (an e-mail address) breaks anywhere rather than run out.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFont font = fontAt(twips, bold);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QTextLayout layout(text.mid(start, end - start), font);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append({start + line.textStart(), line.textLength()});
            any = true;
        }
        layout.endLayout();
        if (!any)
            lines.append({start, 0});
        start = end + 1;
    }
    return lines;
}

FittedText TextFit::fitLines(const QString &text, double width, int lines, const Style &style)
{
    const int nominal = toTwips(style.fontSize);
    if (!text.contains(QLatin1Char('\n')) && fitsOnOneLine(text, nominal, style.bold, width))
        return {style.fontSize, text};
    auto joined = [&text](const QList<std::pair<qsizetype, qsizetype>> &ranges) {
        QStringList shown;
        for (const auto &range : ranges)
            shown.append(lineOf(text, range));
        return shown.join(QLatin1Char('\n'));
    };
    auto fitsAt = [&](int twips) { return wrap(text, twips, style.bold, width).size() <= lines; };
    if (fitsAt(nominal))
        return {style.fontSize, joined(wrap(text, nominal, style.bold, width))};

    const int floor = style.overflow == Overflow::Shrink ? 1 : toTwips(readableFloor);
    if (fitsAt(floor)) {
        // The largest size at which the lines fit: it fits at `low`, not at `high`.
        int low = floor;
        int high = nominal;
        while (high - low > 1) {
            const int middle = (low + high) / 2;
            (fitsAt(middle) ? low : high) = middle;
        }
        return {toPoints(low), joined(wrap(text, low, style.bold, width))};
    }
    // At the floor: the lines the box holds, the last one cut with "…".
    QList<std::pair<qsizetype, qsizetype>> ranges = wrap(text, floor, style.bold, width);
    const qsizetype lastStart = ranges.at(lines - 1).first;
    ranges.resize(lines - 1);
    const QString rest = flattened(text.mid(lastStart));
    return {toPoints(floor),
        joined(ranges) + QLatin1Char('\n') + metrics(floor, style.bold).elidedText(rest, Qt::ElideRight, width)};
}

QList<TextFit::SetLine> TextFit::setLines(
    const FittedText &fitted, const QRect &box, const Style &style, Qt::Alignment alignment)
{
    QList<SetLine> set;
    if (fitted.text.isEmpty())
        return set;
    const QFontMetricsF &shown = metrics(toTwips(fitted.fontSize), style.bold);
    const QStringList lines = fitted.text.split(QLatin1Char('\n'));
    double baseline
        = box.top() + (lines.size() == 1 ? metrics(toTwips(style.fontSize), style.bold).ascent() : shown.ascent());
    for (const QString &line : lines) {
        double x = box.left();
        if (alignment & (Qt::AlignHCenter | Qt::AlignRight)) {
            const double room = box.width() - shown.horizontalAdvance(line);
            x += alignment & Qt::AlignRight ? room : room / 2;
        }
        set.append({QPointF(x, baseline), line});
        baseline += shown.lineSpacing();
    }
    return set;
}
