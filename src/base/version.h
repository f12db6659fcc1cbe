#pragma once

#include <QString>

// The version comes from the project() line of the top CMakeLists.txt.
inline QString productName()
{
    return QStringLiteral("Recorvan");
}

inline QString productLine()
{
    return QStringLiteral("%1 v%2.%3.%4")
        .arg(productName())
        .arg(RECORVAN_VERSION_MAJOR)
        .arg(RECORVAN_VERSION_MINOR)
        .arg(RECORVAN_VERSION_PATCH);
}
