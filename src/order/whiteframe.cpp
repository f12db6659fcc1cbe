#include "whiteframe.h"

#include <QPainter>

WhiteFrame::WhiteFrame(QWidget *parent)
    : QWidget(parent)
{ }

void WhiteFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0xb4, 0xbc, 0xc6));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
