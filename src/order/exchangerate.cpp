#include "exchangerate.h"

#include "base/regional.h"

#include <cmath>

QString ExchangeRate::proposed(const QString &labelCaption)
{
    return Regional::plainNumber(Regional::toNumber(labelCaption).value_or(0.0));
}

double ExchangeRate::fromReply(const QString &reply)
{
    QString text = reply;
    const QChar decimal = Regional::current().decimalPoint;
    if (decimal != QLatin1Char('.'))
        text.replace(decimal, QLatin1Char('.'));
    const double rate = Regional::leadingNumber(text);
    return std::isfinite(rate) ? rate : 0.0;
}

QString ExchangeRate::caption(double rate)
{
    return Regional::plainNumber(rate);
}
