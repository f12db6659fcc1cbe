#include "transaction.h"

#include "connection.h"

Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{ }

Transaction::~Transaction()
{
    rollback();
}

MaybeError Transaction::begin()
{
    if (MaybeError error = m_connection.execute(QStringLiteral("BEGIN IMMEDIATE")))
        return error;
    m_active = true;
    return std::nullopt;
}

MaybeError Transaction::commit()
{
    if (!m_active)
        return DbError{DbErrorNumber::Generic, QStringLiteral("No hay una transacción abierta.")};
    if (MaybeError error = m_connection.execute(QStringLiteral("COMMIT")))
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
    m_connection.execute(QStringLiteral("ROLLBACK"));
    m_active = false;
}
