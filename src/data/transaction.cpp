#include "transaction.h"

#include "connection.h"

namespace {

const QString savepointName = QStringLiteral("RECORVAN_ANIDADA");
const QString savepoint = QStringLiteral("SAVEPOINT ") + savepointName;
const QString release = QStringLiteral("RELEASE ") + savepointName;

} // namespace

Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{ }

Transaction::~Transaction()
{
    rollback();
}

MaybeError Transaction::begin()
{
    // Inside another transaction this one is a savepoint: its work is kept or undone with the
    // outer one, and a rollback here undoes only its own.
    m_nested = m_connection.inTransaction();
    if (MaybeError error = m_connection.execute(m_nested ? savepoint : QStringLiteral("BEGIN IMMEDIATE")))
        return error;
    m_active = true;
    return std::nullopt;
}

MaybeError Transaction::commit()
{
    if (!m_active)
        return DbError{DbErrorNumber::Generic, QStringLiteral("No hay una transacción abierta.")};
    if (MaybeError error = m_connection.execute(m_nested ? release : QStringLiteral("COMMIT")))
        return error;
    m_active = false;
    return std::nullopt;
}

bool Transaction::isStillOpen() const
{
    return m_active && m_connection.inTransaction();
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    if (m_nested) {
        m_connection.execute(QStringLiteral("ROLLBACK TO ") + savepointName);
        m_connection.execute(release);
    } else {
        m_connection.execute(QStringLiteral("ROLLBACK"));
    }
    m_active = false;
}
