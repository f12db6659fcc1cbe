#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QStringList>

class QLabel;

// The desk's typeface and pictures.
class DeskLook
{
public:
    // Verdana where the system has it; otherwise the closest free faces in turn.
    static QString fontFamily(const QStringList &installed);
    static QString fontFamily();
    static QFont font(qreal pointSize = 8, bool bold = false);
    // The desk's own blue: its links and the frame that shows where the focus is.
    static QColor accent();
    // The largest point size, from the font's own down to the minimum, at which every line
    // of the text fits the width; a text that does not fit even then gets the minimum.
    static qreal fittingPointSize(QFont font, const QString &text, int width, qreal minimum = 6);
    // Shrinks the label's type just enough for its text to fit its width.
    static void fitLabel(QLabel *label);
    // Shows the text in the base type, or smaller where it would not fit (figures that grow).
    static void setFittedText(QLabel *label, const QString &text, const QFont &base);
    // One of the desk's pictures (":/order/icons/<name>.svg") drawn at the given size in
    // device-independent pixels, sharp on high-density screens.
    static QPixmap icon(const QString &name, QSize size, qreal devicePixelRatio);
};
