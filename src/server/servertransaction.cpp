#include "servertransaction.h"

#include "serverconnection.h"
#include "servererrornumber.h"

ServerTransaction::ServerTransaction(ServerConnection &connection)
    : m_connection(connection)
{ }

ServerTransaction::~ServerTransaction()
{
    rollback();
}

MaybeError ServerTransaction::begin()
{
    if (MaybeError error = m_connection.execute(QStringLiteral("BEGIN")))
        return error;
    m_active = true;
    return std::nullopt;
}

MaybeError ServerTransaction::commit()
{
    if (!m_active)
        return DbError{ServerErrorNumber::Refused, QStringLiteral("No hay una transacción abierta.")};
    if (m_connection.transactionFailed()) {
        rollback();
        return DbError{ServerErrorNumber::Refused,
            QStringLiteral("El servidor deshizo la transacción porque una de sus operaciones falló.")};
    }
    m_active = false;
    return m_connection.execute(QStringLiteral("COMMIT"));
}

void ServerTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_connection.execute(QStringLiteral("ROLLBACK"));
}
