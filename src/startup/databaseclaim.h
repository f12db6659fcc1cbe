#pragma once

#include "data/dberror.h"

#include <QString>

#include <memory>

class QLockFile;

// The run's claim on its database: a lock file beside it, held while the program runs. A
// second copy of the program started on the same database is refused; the claim of a copy
// that died is taken over.
class DatabaseClaim
{
public:
    DatabaseClaim();
    ~DatabaseClaim();
    DatabaseClaim(const DatabaseClaim &) = delete;
    DatabaseClaim &operator=(const DatabaseClaim &) = delete;

    MaybeError claim(const QString &databasePath);
    void release();
    bool isHeld() const;

    static QString lockPath(const QString &databasePath);

private:
    std::unique_ptr<QLockFile> m_lock;
};
