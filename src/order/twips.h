#pragma once

#include <QRect>

// The desk is laid out in twips (1/1440 inch): 15 twips to a pixel on a 96 dpi screen,
// scaled with the screen's logical resolution so that it keeps its size on larger fonts.
class Twips
{
public:
    static int toPixels(int twips, qreal logicalDpi);
    static QRect toPixels(const QRect &twips, qreal logicalDpiX, qreal logicalDpiY);
};
