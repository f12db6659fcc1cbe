#include "desklook.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

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
