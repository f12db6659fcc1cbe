#pragma once

#include "dberror.h"

#include <QString>

// What a transaction needs of a database: the laptop's file (Connection) and the company
// server (ServerConnection) are each one.
class TransactionalStore
{
public:
    virtual ~TransactionalStore() = default;

    virtual MaybeError executeStatement(const QString &sql) = 0;
    // True while a transaction is open in the engine; some failures end one on their own.
    virtual bool inTransaction() const = 0;
    // True when a statement failed inside the open transaction: PostgreSQL then ends it with
    // a rollback even when asked to commit.
    virtual bool transactionFailed() const { return false; }
    virtual QString beginStatement() const { return QStringLiteral("BEGIN"); }
};

// A transaction as a scope: rolled back unless committed. One begun inside another is a
// savepoint of it: its work is kept or undone with the outer one, and a rollback undoes only
// its own. A rollback asked for says whether it failed; the one at the end of the scope has
// no one to tell.
class Transaction
{
public:
    explicit Transaction(TransactionalStore &store);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    MaybeError begin();
    MaybeError commit();
    MaybeError rollback();
    bool isActive() const { return m_active; }
    // False once the engine has ended the transaction by itself (a full disk, a trigger that
    // rolls back): the statements after that would each be committed on their own.
    bool isStillOpen() const;

private:
    TransactionalStore &m_store;
    bool m_active = false;
    bool m_nested = false;
};
