#include "conversionwindow.h"

#include "base/version.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ConversionWindow::ConversionWindow(QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , lblPaso(new QLabel(this))
    , barProgreso(new QProgressBar(this))
{
    setObjectName(QStringLiteral("ConversionWindow"));
    setWindowTitle(productName());
    lblPaso->setObjectName(QStringLiteral("lblPaso"));
    barProgreso->setObjectName(QStringLiteral("barProgreso"));
    barProgreso->setRange(0, 100);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Convirtiendo la base de datos del programa anterior…"), this);
    layout->addWidget(title);
    layout->addWidget(barProgreso);
    layout->addWidget(lblPaso);
    setMinimumWidth(420);
}

void ConversionWindow::advance(int percent, const QString &step)
{
    barProgreso->setValue(percent);
    lblPaso->setText(step);
    // Repaint only: the user cannot act on anything while the file is written.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
