#include "databaseclaim.h"

#include "base/privatefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

DatabaseClaim::DatabaseClaim() = default;

DatabaseClaim::~DatabaseClaim()
{
    release();
}

QString DatabaseClaim::lockPath(const QString &databasePath)
{
    return databasePath + QStringLiteral(".lock");
}

MaybeError DatabaseClaim::claim(const QString &databasePath)
{
    release();
    auto lock = std::make_unique<QLockFile>(lockPath(databasePath));
    // Only a living process keeps the claim; the lock of one that died is stale at once.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        // QLockFile makes its file readable by everyone; it tells who holds the user's data.
        PrivateFiles::keepToOwner(lockPath(databasePath));
        m_lock = std::move(lock);
        return std::nullopt;
    }
    const QString shown = QDir::toNativeSeparators(databasePath);
    if (lock->error() == QLockFile::LockFailedError)
        return DbError{DbErrorNumber::Busy,
            QStringLiteral("El programa ya está abierto con la base de datos '%1'. Use esa ventana; dos copias a la "
                           "vez tomarían los mismos números de pedido.")
                .arg(shown)};
    const QString folder = QDir::toNativeSeparators(QFileInfo(databasePath).absolutePath());
    return DbError{DbErrorNumber::ReadOnly,
        QStringLiteral("No se puede escribir en la carpeta '%1' de la base de datos '%2'. Sin poder escribir no se "
                       "pueden guardar pedidos.")
            .arg(folder, shown)};
}

void DatabaseClaim::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

bool DatabaseClaim::isHeld() const
{
    return m_lock && m_lock->isLocked();
}
