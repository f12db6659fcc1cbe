#pragma once

#include "data/dberror.h"

class ServerConnection;

// A transaction on the company server as a scope: rolled back unless committed.
class ServerTransaction
{
public:
    explicit ServerTransaction(ServerConnection &connection);
    ~ServerTransaction();
    ServerTransaction(const ServerTransaction &) = delete;
    ServerTransaction &operator=(const ServerTransaction &) = delete;

    MaybeError begin();
    MaybeError commit();
    void rollback();

private:
    ServerConnection &m_connection;
    bool m_active = false;
};
