#pragma once

#include <QString>

class QWidget;

// The main window's print tool: asks for an order number (proposing the order being
// entered), runs the order report on that order or, when the answer gives no number above
// zero, on every order of the main window's date, and shows it in the preview.
void previewOrderFromPrintTool(const QString &nroPedidoCaption, const QString &fechaCaption, QWidget *parent);

// The answer of the input box as the report's order-number caption: its leading number rounded
// to the nearest integer (halves to even), in decimal digits.
QString orderNumberCaption(const QString &answer);
