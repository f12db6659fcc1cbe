#include "salespersoncode.h"

#include <algorithm>

namespace {

bool isCodeCharacter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('_');
}

} // namespace

std::optional<QString> SalespersonCode::normalized(const QString &typed, QString *refusal)
{
    const QString code = typed.trimmed();
    if (!code.isEmpty() && code.size() <= maximumLength && std::all_of(code.begin(), code.end(), isCodeCharacter))
        return code.toUpper();
    if (refusal)
        *refusal = code.isEmpty()
            ? QStringLiteral("Falta el código del vendedor en el servidor.")
            : QStringLiteral("El código de vendedor «%1» no sirve: lleva de 1 a %2 letras sin acentos (A-Z), "
                             "dígitos, '-' o '_', sin espacios.")
                  .arg(typed)
                  .arg(maximumLength);
    return std::nullopt;
}

bool SalespersonCode::same(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString SalespersonCode::defaultLogin(const QString &database, const QString &code)
{
    return (database + QLatin1Char('_') + code.trimmed()).toLower();
}
