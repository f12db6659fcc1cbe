#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The two figures under the order grid, always recomputed from its rows.
class OrderTotals
{
public:
    qint64 items = 0;
    double money = 0;

    // Sums the order's lines, given as their quantity and line-total texts. The item count adds
    // what each quantity text begins with, rounding the running sum (halves to even); a line that
    // would carry it past the 32-bit range is left out. A total that is not a number adds
    // nothing. Nothing is ever reported.
    static OrderTotals of(const QStringList &quantities, const QStringList &totals);

    QString itemsText() const;
    QString moneyText() const;
};
