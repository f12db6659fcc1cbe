#pragma once

#include <QString>

// The titles the program's boxes share, written once.
namespace MessageTitles {

// Most messages and questions of the program.
inline QString attention()
{
    return QStringLiteral("Atención");
}

// A failure of the store: "Error: " and its number, and the description when the box's text
// says something else.
inline QString error(int number, const QString &description = {})
{
    return description.isEmpty() ? QStringLiteral("Error: %1").arg(number)
                                 : QStringLiteral("Error: %1 - %2").arg(number).arg(description);
}

} // namespace MessageTitles
