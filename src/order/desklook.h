#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

class QLabel;
class QLineEdit;

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
    // The smallest type the desk shrinks a text to.
    static constexpr qreal minimumPointSize = 6;
    // The largest point size, from the font's own down to the minimum, at which every line
    // of the text fits the width; a text that does not fit even then gets the minimum.
    static qreal fittingPointSize(QFont font, const QString &text, int width, qreal minimum = minimumPointSize);
    // Shrinks the label's type just enough for its text to fit its width.
    static void fitLabel(QLabel *label);
    // Shows the text in the base type, or smaller where it would not fit (figures that grow).
    static void setFittedText(QLabel *label, const QString &text, const QFont &base);
    // A name in a fixed place: one line in the base type or smaller; where the smallest type
    // does not hold it, up to maxLines lines as the label's height allows; only past that its
    // start and "…", with the whole name as the label's tooltip.
    static void setFittedName(QLabel *label, const QString &name, const QFont &base, int maxLines = 1);
    // The width a text box gives its text, the cursor's included.
    static int textRoom(const QLineEdit *box);
    // Keeps the box's text whole as it changes, in the base type or smaller down to minimum.
    static void keepTextFitted(QLineEdit *box, const QFont &base, qreal minimum = minimumPointSize);
    // One of the desk's pictures (":/order/icons/<name>.svg") drawn at the given size in
    // device-independent pixels, sharp on high-density screens.
    static QPixmap icon(const QString &name, QSize size, qreal devicePixelRatio);
    // The program's own icon, the picture its desktop entry shows (desk.svg), drawn at the sizes
    // window managers and task bars ask for.
    static QIcon programIcon();
};
