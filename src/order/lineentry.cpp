#include "lineentry.h"

#include "base/regional.h"

std::optional<QString> LineEntry::lineTotal(const QString &cantidad, const QString &precio)
{
    const std::optional<double> quantity = Regional::toNumber(cantidad);
    const std::optional<double> price = Regional::toNumber(precio);
    if (!quantity || !price)
        return std::nullopt;
    return Regional::standard(*quantity * *price);
}

LineEntry::Left LineEntry::leaveCantidad(const QString &cantidad, const QString &precio)
{
    if (cantidad.isEmpty())
        return {QStringLiteral("0"), std::nullopt};
    return {cantidad, lineTotal(cantidad, precio).value_or(QString())};
}

LineEntry::Left LineEntry::leavePrecio(const QString &cantidad, const QString &precio)
{
    if (precio.isEmpty())
        return {QStringLiteral("0"), std::nullopt};
    const std::optional<double> price = Regional::toNumber(precio);
    const QString field = price ? Regional::standard(*price) : precio;
    return {field, lineTotal(cantidad, field).value_or(QString())};
}
