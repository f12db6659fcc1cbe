#include "exchangerate.h"

#include "base/regional.h"

QString ExchangeRate::proposed(const QString &labelCaption)
{
    return Regional::plainNumber(Regional::toNumber(labelCaption).value_or(0.0));
}

ExchangeRate::Reading ExchangeRate::read(const QString &reply)
{
    using Kind = Reading::Kind;
    if (reply.trimmed().isEmpty())
        return {Kind::Keep};
    const std::optional<double> rate = Regional::toNumber(reply);
    // The example is written by the same rules, so it shows this machine's separators.
    if (!rate)
        return {Kind::Refuse, 0,
            QStringLiteral("El tipo de cambio '%1' no es un número (por ejemplo: %2).")
                .arg(reply, Regional::standard(1234.5))};
    if (*rate <= 0)
        return {Kind::Refuse, 0, QStringLiteral("El tipo de cambio debe ser mayor que cero, no '%1'.").arg(reply)};
    return {Kind::Take, *rate};
}

QString ExchangeRate::caption(double rate)
{
    return Regional::plainNumber(rate);
}
