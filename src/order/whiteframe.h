#pragma once

#include <QWidget>

// A frame without caption: a white panel with a thin grey border over the desk's background.
class WhiteFrame : public QWidget
{
    Q_OBJECT

public:
    explicit WhiteFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
