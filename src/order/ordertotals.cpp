#include "ordertotals.h"

#include "base/regional.h"

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
