#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QString>

#include <array>
#include <memory>

// How a text is set in its box: the size it is set in and what it shows, one line per
// '\n'. What it shows is all the page carries, so the PDF's text layer holds nothing more.
struct FittedText
{
    double fontSize = 0; // points
    QString text;
};

// The rule by which every report text fits its box. A box holds the whole lines that its
// height gives at the text's own size. A text too wide for them is set smaller until it fits:
// a figure (a number or a date) as small as it needs, so that every digit shows; any other
// text down to a readable floor, and then it is cut at a character boundary with "…". A fitted
// text keeps clear of the box's sides, so that two figures side by side never touch.
//
// Sizes are measured in twips (a point is 20), the unit the report is drawn in, with unhinted
// metrics: the preview, the printer and the PDF set the same text in the same room.
class TextFit
{
public:
    enum class Overflow {
        Shrink, // figures: smaller until every character shows
        ShrinkThenCut, // texts: smaller down to the floor, then cut with "…"
    };

    static constexpr double readableFloor = 6.0; // points
    static constexpr int sideClearance = 30; // twips kept free at each side of a box

    struct Style
    {
        double fontSize = 10; // points
        bool bold = false;
        Overflow overflow = Overflow::ShrinkThenCut;
    };

    // One line of a fitted text where it is drawn: the left end of its baseline, in twips.
    struct SetLine
    {
        QPointF origin;
        QString text;
    };

    FittedText fit(const QString &text, QSize box, const Style &style);
    // The whole lines a box of that height holds at the style's own size (at least one).
    int lineCapacity(int boxHeight, const Style &style);
    // Where the lines of a fitted text stand in its box. A single line keeps the baseline it
    // has at the style's own size, so that a smaller figure still lines up with its row.
    QList<SetLine> setLines(const FittedText &fitted, const QRect &box, const Style &style, Qt::Alignment alignment);

    // The report's typeface at a size in points, measured in twips.
    static QFont font(double fontSize, bool bold);
    static QString family();

private:
    struct Measure
    {
        explicit Measure(const QFont &font);
        QFontMetricsF metrics;
        // The advances of the Latin characters, measured as they are first met (negative: not yet).
        std::array<double, 0x250> advances;
    };

    Measure &measure(int twips, bool bold);
    const QFontMetricsF &metrics(int twips, bool bold) { return measure(twips, bold).metrics; }
    bool fitsOnOneLine(const QString &text, int twips, bool bold, double width);
    // The lines a text breaks into at that width: start and length of each in the text.
    QList<std::pair<qsizetype, qsizetype>> wrap(const QString &text, int twips, bool bold, double width);
    FittedText fitOneLine(const QString &text, double width, const Style &style);
    FittedText fitLines(const QString &text, double width, int lines, const Style &style);

    QHash<int, std::shared_ptr<Measure>> m_measures;
};
