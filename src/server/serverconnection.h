#pragma once

#include "data/dberror.h"
#include "data/rowset.h"
#include "data/transaction.h"
#include "serveraddress.h"

#include <QString>
#include <QVariantList>

#include <map>
#include <memory>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// One named connection to the company database through Qt's PostgreSQL driver, which no one
// else sees: rows come out as the store's own RowSet. Failures come back as values whose
// description names the cause and never holds a password; statements take their values as
// bound parameters only.
class ServerConnection : public TransactionalStore
{
public:
    explicit ServerConnection(QString name);
    ~ServerConnection() override;
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    MaybeError open(const ServerAddress &address);
    void close();
    bool isOpen() const;
    const ServerAddress &address() const { return m_address; }
    // The login the server took, with libpq's defaults applied.
    QString user() const;

    // A statement with values is prepared once per connection and kept: later runs of the
    // same text cost one round trip, and a statement that failed inside a transaction is
    // not freed until the transaction is over.
    MaybeError execute(const QString &sql, const QVariantList &values = {}, int *rowsAffected = nullptr);
    MaybeError select(const QString &sql, const QVariantList &values, RowSet &rows);

    // The form in which the server keeps a login's password (SCRAM-SHA-256), made here so
    // that the password itself never travels nor reaches a server log.
    MaybeError passwordVerifier(const QString &login, const QString &password, QString &verifier);

    MaybeError executeStatement(const QString &sql) override { return execute(sql); }
    bool inTransaction() const override;
    bool transactionFailed() const override;

private:
    QSqlDatabase database() const;
    DbError errorOf(const QSqlError &error) const;
    struct pg_conn *handle() const;
    MaybeError run(const QString &sql, const QVariantList &values, QSqlQuery *&query);

    QString m_name;
    ServerAddress m_address;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_statements;
};
