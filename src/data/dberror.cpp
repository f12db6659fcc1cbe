#include "dberror.h"

#include <QDir>

DbError engineError(int code, const QString &engineText)
{
    // Extended codes (SQLITE_IOERR_SHMSIZE is 4874) keep their kind in the low byte.
    QString told;
    switch (code & 0xFF) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        told = QStringLiteral("La base de datos está ocupada por otro programa; espere un momento y reintente");
        break;
    case 8: // SQLITE_READONLY
        told = QStringLiteral("La base de datos no se puede modificar: el archivo o su carpeta son de solo lectura");
        break;
    case 10: // SQLITE_IOERR
        told = QStringLiteral("No se pudo leer o escribir en el disco: puede estar lleno o fallando");
        break;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        told = QStringLiteral("El archivo de la base de datos está dañado");
        break;
    case 13: // SQLITE_FULL
        told = QStringLiteral("El disco está lleno: libere espacio y reintente");
        break;
    case 14: // SQLITE_CANTOPEN
        told = QStringLiteral("No se pudo abrir o crear el archivo de la base de datos");
        break;
    default:
        return {code, engineText};
    }
    return {code, QStringLiteral("%1 (%2).").arg(told, engineText)};
}

QString DbError::text() const
{
    return QStringLiteral("Error %1: %2").arg(number).arg(description);
}

DbError DbError::notOverwritten(const QString &path)
{
    return {DbErrorNumber::CantOpen,
        QStringLiteral("'%1' ya existe; no se sobrescribe.").arg(QDir::toNativeSeparators(path))};
}
