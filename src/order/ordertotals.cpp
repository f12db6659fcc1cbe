#include "ordertotals.h"

#include "base/regional.h"
#include "gridcolumns.h"

OrderTotals OrderTotals::of(const QList<QStringList> &dataRows)
{
    QStringList quantities;
    QStringList totals;
    for (const QStringList &row : dataRows) {
        quantities.append(row.value(column(OrderColumn::Cantidad)));
        totals.append(row.value(column(OrderColumn::Total)));
    }
    return of(quantities, totals);
}

OrderTotals OrderTotals::of(const QStringList &quantities, const QStringList &totals)
{
    OrderTotals result;
    for (qsizetype line = 0; line < quantities.size(); ++line) {
        if (const std::optional<qint32> items
            = Regional::toInt32(double(result.items) + Regional::leadingNumber(quantities.at(line))))
            result.items = *items;
        if (const std::optional<double> money = Regional::toNumber(totals.value(line)))
            result.money += *money;
    }
    return result;
}

QString OrderTotals::itemsText() const
{
    return Regional::plainInteger(items);
}

QString OrderTotals::moneyText() const
{
    return Regional::standard(money);
}
