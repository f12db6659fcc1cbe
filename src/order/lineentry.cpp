#include "lineentry.h"

#include "base/regional.h"
#include "gridcolumns.h"

#include <algorithm>

std::optional<QString> LineEntry::lineTotal(const QString &quantity, const QString &price)
{
    const std::optional<qint32> units = Regional::wholeNumber(quantity);
    const std::optional<double> each = Regional::toNumber(price);
    if (!units || !each)
        return std::nullopt;
    return Regional::standard(*units * *each);
}

std::optional<LineEntry::Refusal> LineEntry::quantityRefusal(const QString &quantity)
{
    if (Regional::wholeNumber(quantity))
        return std::nullopt;
    if (quantity.isEmpty())
        return Refusal{Field::Cantidad, QStringLiteral("Falta la cantidad.")};
    return Refusal{Field::Cantidad, QStringLiteral("La cantidad '%1' no es un número entero.").arg(quantity)};
}

std::optional<LineEntry::Refusal> LineEntry::priceRefusal(const QString &price)
{
    if (Regional::toNumber(price))
        return std::nullopt;
    if (price.isEmpty())
        return Refusal{Field::Precio, QStringLiteral("Falta el precio unitario.")};
    // The example is written by the same rules, so it shows this machine's decimal separator.
    return Refusal{Field::Precio,
        QStringLiteral("El precio unitario '%1' no es un número (por ejemplo: %2).")
            .arg(price, Regional::standard(12.5))};
}

LineEntry::Left LineEntry::leaveCantidad(const QString &quantity, const QString &price)
{
    if (quantity.isEmpty())
        return {QStringLiteral("0"), std::nullopt, std::nullopt};
    return {quantity, lineTotal(quantity, price).value_or(QString()), quantityRefusal(quantity)};
}

LineEntry::Left LineEntry::leavePrecio(const QString &quantity, const QString &price)
{
    if (price.isEmpty())
        return {QStringLiteral("0"), std::nullopt, std::nullopt};
    const std::optional<double> read = Regional::toNumber(price);
    const QString field = read ? Regional::standard(*read) : price;
    return {field, lineTotal(quantity, field).value_or(QString()), priceRefusal(price)};
}

bool LineEntry::isEmpty(const QStringList &line)
{
    return std::all_of(line.begin(), line.end(), [](const QString &cell) { return cell.isEmpty(); });
}

std::optional<LineEntry::Refusal> LineEntry::refusal(const QStringList &line)
{
    if (std::optional<Refusal> refused = quantityRefusal(line.value(column(OrderColumn::Cantidad))))
        return refused;
    return priceRefusal(line.value(column(OrderColumn::PUnitario)));
}
