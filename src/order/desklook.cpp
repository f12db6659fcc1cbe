#include "desklook.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QSvgRenderer>

#include <limits>

QString DeskLook::fontFamily(const QStringList &installed)
{
    for (const QString &family :
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return QFont().defaultFamily();
}

QString DeskLook::fontFamily()
{
    static const QString family = fontFamily(QFontDatabase::families());
    return family;
}

QFont DeskLook::font(qreal pointSize, bool bold)
{
    QFont font(fontFamily());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QColor DeskLook::accent()
{
    return {0x1d, 0x4a, 0x7a};
}

QPixmap DeskLook::icon(const QString &name, QSize size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(QStringLiteral(":/order/icons/%1.svg").arg(name));
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon DeskLook::programIcon()
{
    QIcon program;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
        program.addPixmap(icon(QStringLiteral("desk"), QSize(side, side), 1));
    return program;
}

qreal DeskLook::fittingPointSize(QFont font, const QString &text, int width, qreal minimum)
{
    qreal size = font.pointSizeF();
    while (size > minimum) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).size(0, text).width() <= width)
            return size;
        size -= 0.25;
    }
    return minimum;
}

void DeskLook::fitLabel(QLabel *label)
{
    if (!label)
        return;
    QFont font = label->font();
    const QMargins margins = label->contentsMargins();
    font.setPointSizeF(fittingPointSize(font, label->text(), label->width() - margins.left() - margins.right() - 1));
    label->setFont(font);
}

void DeskLook::setFittedText(QLabel *label, const QString &text, const QFont &base)
{
    label->setFont(base);
    label->setText(text);
    fitLabel(label);
}

void DeskLook::setFittedName(QLabel *label, const QString &name, const QFont &base, int maxLines)
{
    label->setToolTip(QString());
    label->setWordWrap(false);
    setFittedText(label, name, base);
    const QMargins margins = label->contentsMargins();
    const int width = label->width() - margins.left() - margins.right() - 1;
    const int height = label->height() - margins.top() - margins.bottom();
    QFont font = label->font();
    if (QFontMetrics(font).horizontalAdvance(name) <= width)
        return;
    for (qreal size = base.pointSizeF(); maxLines > 1 && size >= minimumPointSize; size -= 0.25) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        const QRect needed
            = metrics.boundingRect(QRect(0, 0, width, std::numeric_limits<int>::max() / 2), Qt::TextWordWrap, name);
        if (needed.width() <= width && needed.height() <= height
            && needed.height() < (maxLines + 1) * metrics.lineSpacing()) {
            label->setFont(font);
            label->setWordWrap(true);
            return;
        }
    }
    font.setPointSizeF(minimumPointSize);
    label->setFont(font);
    label->setText(QFontMetrics(font).elidedText(name, Qt::ElideRight, width));
    label->setToolTip(name);
}

int DeskLook::textRoom(const QLineEdit *box)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->contentsRect();
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    // QLineEdit keeps two pixels clear on each side, and one more for the cursor.
    const QMargins margins = box->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2 - 1;
}

void DeskLook::keepTextFitted(QLineEdit *box, const QFont &base, qreal minimum)
{
    const auto fit = [box, base, minimum] {
        QFont font = base;
        font.setPointSizeF(fittingPointSize(base, box->text(), textRoom(box), minimum));
        if (font != box->font())
            box->setFont(font);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, fit);
    fit();
}
