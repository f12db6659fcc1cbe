#include "twips.h"

#include <cmath>

int Twips::toPixels(int twips, qreal logicalDpi)
{
    return int(std::lround(twips * logicalDpi / 1440.0));
}

QRect Twips::toPixels(const QRect &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    // Right and bottom edges are converted too, so that neighbours meet without gaps.
    const int left = toPixels(twips.x(), logicalDpiX);
    const int top = toPixels(twips.y(), logicalDpiY);
    const int right = toPixels(twips.x() + twips.width(), logicalDpiX);
    const int bottom = toPixels(twips.y() + twips.height(), logicalDpiY);
    return QRect(left, top, right - left, bottom - top);
}
