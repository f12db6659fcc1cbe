#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The small window shown while the older program's database is converted at start-up.
// It is shown without a modal wait; the conversion lets it repaint between steps.
class ConversionWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ConversionWindow(QWidget *parent = nullptr);

    void advance(int percent, const QString &step);

private:
    QLabel *lblPaso;
    QProgressBar *barProgreso;
};
