#pragma once

#include <QString>

// The titles the program's boxes share, written once.
namespace MessageTitles {

// Most messages and questions of the program.
inline QString attention()
{
    return QStringLiteral("Atención");
}

// A failure of the store: "Error: " and its number.
inline QString error(int number)
{
    return QStringLiteral("Error: %1").arg(number);
}

} // namespace MessageTitles
