#pragma once

#include "dberror.h"

class Connection;

// A transaction as a scope: rolled back unless committed. One begun inside another is part of it.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Takes the write lock at once, so that no statement inside waits for it halfway.
    MaybeError begin();
    MaybeError commit();
    void rollback();
    bool isActive() const { return m_active; }
    // False once the engine has ended the transaction by itself (a full disk, a trigger that
    // rolls back): the statements after that would each be committed on their own.
    bool isStillOpen() const;

private:
    Connection &m_connection;
    bool m_active = false;
    bool m_nested = false;
};
