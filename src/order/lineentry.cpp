#include "lineentry.h"

#include "base/regional.h"
#include "gridcolumns.h"

#include <algorithm>

std::optional<QString> LineEntry::lineTotal(const QString &cantidad, const QString &precio)
{
    const std::optional<qint32> quantity = Regional::wholeNumber(cantidad);
    const std::optional<double> price = Regional::toNumber(precio);
    if (!quantity || !price)
        return std::nullopt;
    return Regional::standard(*quantity * *price);
}

std::optional<LineEntry::Refusal> LineEntry::quantityRefusal(const QString &cantidad)
{
    if (Regional::wholeNumber(cantidad))
        return std::nullopt;
    if (cantidad.isEmpty())
        return Refusal{Field::Cantidad, QStringLiteral("Falta la cantidad.")};
    return Refusal{Field::Cantidad, QStringLiteral("La cantidad '%1' no es un número entero.").arg(cantidad)};
}

std::optional<LineEntry::Refusal> LineEntry::priceRefusal(const QString &precio)
{
    if (Regional::toNumber(precio))
        return std::nullopt;
    if (precio.isEmpty())
        return Refusal{Field::Precio, QStringLiteral("Falta el precio unitario.")};
    // The example is written by the same rules, so it shows this machine's decimal separator.
    return Refusal{Field::Precio,
        QStringLiteral("El precio unitario '%1' no es un número (por ejemplo: %2).")
            .arg(precio, Regional::standard(12.5))};
}

LineEntry::Left LineEntry::leaveCantidad(const QString &cantidad, const QString &precio)
{
    if (cantidad.isEmpty())
        return {QStringLiteral("0"), std::nullopt, std::nullopt};
    return {cantidad, lineTotal(cantidad, precio).value_or(QString()), quantityRefusal(cantidad)};
}

LineEntry::Left LineEntry::leavePrecio(const QString &cantidad, const QString &precio)
{
    if (precio.isEmpty())
        return {QStringLiteral("0"), std::nullopt, std::nullopt};
    const std::optional<double> price = Regional::toNumber(precio);
    const QString field = price ? Regional::standard(*price) : precio;
    return {field, lineTotal(cantidad, field).value_or(QString()), priceRefusal(precio)};
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
