#include "ordernumber.h"

#include "regional.h"

#include <cmath>

std::optional<OrderNumber> OrderNumber::read(QStringView text)
{
    const std::optional<double> number = Regional::leadingNumberInRange(text);
    if (!number)
        return std::nullopt;
    const double whole = std::trunc(*number);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return OrderNumber(qint32(whole));
}

QString OrderNumber::plainText(QStringView text)
{
    const std::optional<OrderNumber> number = read(text);
    return number ? number->text() : text.trimmed().toString();
}

QString OrderNumber::text() const
{
    return Regional::plainInteger(m_value);
}
