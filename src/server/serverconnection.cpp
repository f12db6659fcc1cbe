#include "serverconnection.h"

#include "connectdiagnosis.h"
#include "servererrornumber.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>

namespace {

const QString driverName = QStringLiteral("QPSQL");

// The server's own words: its first line (the others quote the statement), without the
// severity and the state code the driver appends.
QString serverText(const QSqlError &error)
{
    QString text = error.databaseText().section(QLatin1Char('\n'), 0, 0);
    const QString code = error.nativeErrorCode();
    if (!code.isEmpty() && text.endsWith(QStringLiteral("(%1)").arg(code)))
        text.chop(code.size() + 2);
    text = text.trimmed();
    if (text.startsWith(QLatin1String("ERROR:")))
        text = text.mid(6).trimmed();
    return text.isEmpty() ? error.text() : text;
}

} // namespace

ServerConnection::ServerConnection(QString name)
    : m_name(std::move(name))
{ }

ServerConnection::~ServerConnection()
{
    close();
}

MaybeError ServerConnection::open(const ServerAddress &address)
{
    close();
    if (!QSqlDatabase::isDriverAvailable(driverName))
        return DbError{ServerErrorNumber::NoDriver,
            QStringLiteral("Falta el controlador de PostgreSQL de Qt (paquete libqt6sql6-psql).")};
    m_address = address;
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName, m_name);
    db.setHostName(address.host());
    db.setPort(address.port());
    db.setDatabaseName(address.database());
    db.setUserName(address.user());
    db.setPassword(address.password());
    db.setConnectOptions(address.driverOptions());
    QElapsedTimer clock;
    clock.start();
    if (db.open())
        return std::nullopt;
    const QString driverText = db.lastError().databaseText();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    return diagnoseConnectFailure(address, clock.elapsed(), driverText);
}

void ServerConnection::close()
{
    m_statements.clear();
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool ServerConnection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

QSqlDatabase ServerConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

pg_conn *ServerConnection::handle() const
{
    if (!QSqlDatabase::contains(m_name))
        return nullptr;
    const QVariant handle = database().driver()->handle();
    // Qt 6 names the type after the struct behind libpq's typedef.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.data());
}

bool ServerConnection::inTransaction() const
{
    PGconn *connection = handle();
    const PGTransactionStatusType status = connection ? PQtransactionStatus(connection) : PQTRANS_UNKNOWN;
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool ServerConnection::transactionFailed() const
{
    PGconn *connection = handle();
    return connection && PQtransactionStatus(connection) == PQTRANS_INERROR;
}

QString ServerConnection::user() const
{
    PGconn *connection = handle();
    return connection ? QString::fromUtf8(PQuser(connection)) : m_address.user();
}

DbError ServerConnection::errorOf(const QSqlError &error) const
{
    const QString code = error.nativeErrorCode();
    PGconn *connection = handle();
    // Class 08 is a broken connection, 57P an administrator or crash ending the session.
    if (!connection || PQstatus(connection) != CONNECTION_OK || code.startsWith(QLatin1String("08"))
        || code.startsWith(QLatin1String("57P")))
        return {ServerErrorNumber::ConnectionLost,
            QStringLiteral("Se perdió la conexión con el servidor %1.").arg(m_address.shownServer())};
    // A serialization failure or a deadlock: the server undid the transaction, which may simply run again.
    if (code == QLatin1String("40001") || code == QLatin1String("40P01"))
        return {ServerErrorNumber::Conflict,
            QStringLiteral("El servidor deshizo la operación por otra que corría a la vez: %1").arg(serverText(error))};
    if (code == QLatin1String("42501"))
        return {ServerErrorNumber::NotAllowed,
            QStringLiteral("El usuario %1 no tiene permiso para esto en el servidor: %2")
                .arg(user(), serverText(error))};
    return {ServerErrorNumber::Refused, QStringLiteral("El servidor rechazó la operación: %1").arg(serverText(error))};
}

MaybeError ServerConnection::execute(const QString &sql, const QVariantList &values, int *rowsAffected)
{
    if (values.isEmpty()) {
        // Without values the text goes as it is: statements with bodies ($$ ... $$) need that.
        QSqlQuery query(database());
        if (!query.exec(sql))
            return errorOf(query.lastError());
        if (rowsAffected)
            *rowsAffected = query.numRowsAffected();
        return std::nullopt;
    }
    QSqlQuery *query = nullptr;
    if (MaybeError error = run(sql, values, query))
        return error;
    if (rowsAffected)
        *rowsAffected = query->numRowsAffected();
    query->finish();
    return std::nullopt;
}

MaybeError ServerConnection::select(const QString &sql, const QVariantList &values, RowSet &rows)
{
    QSqlQuery *query = nullptr;
    if (MaybeError error = run(sql, values, query))
        return error;
    const QSqlRecord record = query->record();
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns.append(record.fieldName(i));
    QList<QVariantList> read;
    while (query->next()) {
        QVariantList row;
        for (int i = 0; i < record.count(); ++i)
            row.append(query->value(i));
        read.append(row);
    }
    const QSqlError error = query->lastError();
    query->finish();
    if (error.isValid())
        return errorOf(error);
    rows = RowSet(columns, read);
    return std::nullopt;
}

MaybeError ServerConnection::run(const QString &sql, const QVariantList &values, QSqlQuery *&query)
{
    if (!isOpen())
        return DbError{ServerErrorNumber::ConnectionLost,
            QStringLiteral("No hay conexión con el servidor %1.").arg(m_address.shownServer())};
    std::unique_ptr<QSqlQuery> &kept = m_statements[sql];
    if (!kept) {
        auto prepared = std::make_unique<QSqlQuery>(database());
        prepared->setForwardOnly(true);
        if (!prepared->prepare(sql)) {
            m_statements.erase(sql);
            return errorOf(prepared->lastError());
        }
        kept = std::move(prepared);
    }
    query = kept.get();
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    if (!query->exec())
        return errorOf(query->lastError());
    return std::nullopt;
}

MaybeError ServerConnection::passwordVerifier(const QString &login, const QString &password, QString &verifier)
{
    PGconn *connection = handle();
    if (!connection)
        return DbError{ServerErrorNumber::ConnectionLost,
            QStringLiteral("No hay conexión con el servidor %1.").arg(m_address.shownServer())};
    char *made
        = PQencryptPasswordConn(connection, password.toUtf8().constData(), login.toUtf8().constData(), "scram-sha-256");
    if (!made)
        return DbError{ServerErrorNumber::Refused,
            QStringLiteral("No se pudo preparar la contraseña: %1")
                .arg(QString::fromUtf8(PQerrorMessage(connection)).trimmed())};
    verifier = QString::fromLatin1(made);
    PQfreemem(made);
    return std::nullopt;
}
