#include "transaction.h"

namespace {

const QString savepointName = QStringLiteral("RECORVAN_ANIDADA");
const QString savepoint = QStringLiteral("SAVEPOINT ") + savepointName;
const QString release = QStringLiteral("RELEASE ") + savepointName;

} // namespace

Transaction::Transaction(TransactionalStore &store)
    : m_store(store)
{ }

Transaction::~Transaction()
{
    rollback();
}

MaybeError Transaction::begin()
{
    m_nested = m_store.inTransaction();
    if (MaybeError error = m_store.executeStatement(m_nested ? savepoint : m_store.beginStatement()))
        return error;
    m_active = true;
    return std::nullopt;
}

MaybeError Transaction::commit()
{
    if (!m_active)
        return DbError{DbErrorNumber::Generic, QStringLiteral("No hay una transacción abierta.")};
    if (m_store.transactionFailed()) {
        rollback();
        return DbError{
            DbErrorNumber::Generic, QStringLiteral("Se deshizo la transacción porque una de sus operaciones falló.")};
    }
    if (MaybeError error = m_store.executeStatement(m_nested ? release : QStringLiteral("COMMIT")))
        return error;
    m_active = false;
    return std::nullopt;
}

bool Transaction::isStillOpen() const
{
    return m_active && m_store.inTransaction();
}

MaybeError Transaction::rollback()
{
    if (!m_active)
        return std::nullopt;
    m_active = false;
    // A transaction the engine ended by itself (a failed commit, a full disk) has nothing left to undo.
    if (!m_store.inTransaction())
        return std::nullopt;
    MaybeError error = m_store.executeStatement(
        m_nested ? QStringLiteral("ROLLBACK TO ") + savepointName : QStringLiteral("ROLLBACK"));
    if (m_nested) {
        if (MaybeError released = m_store.executeStatement(release); !error)
            error = released;
    }
    return error;
}
