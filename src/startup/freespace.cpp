#include "freespace.h"

#include <QDir>

std::optional<QString> freeSpaceRefusal(const QString &folder, qint64 bytesAvailable)
{
    // A size the system cannot tell (-1) is no reason to refuse.
    if (bytesAvailable < 0 || bytesAvailable >= minimumFreeBytes)
        return std::nullopt;
    return QStringLiteral("En la carpeta de la base de datos '%1' quedan solo %2 KB libres; hace falta al menos "
                          "%3 KB para poder guardar pedidos. Libere espacio en el disco y vuelva a abrir el programa.")
        .arg(QDir::toNativeSeparators(folder))
        .arg(bytesAvailable / 1024)
        .arg(minimumFreeBytes / 1024);
}
