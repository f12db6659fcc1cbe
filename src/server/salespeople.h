#pragma once

#include "data/dberror.h"

#include <QDateTime>
#include <QList>
#include <QString>

class ServerConnection;

// The company's salespeople as the office manages them: listed with what they sent, their
// logins kept out or let in again (their orders stay), and given new passwords. Codes are read
// by the one rule of SalespersonCode.
class Salespeople
{
public:
    struct Entry
    {
        QString code;
        QString name;
        QString login;
        bool canConnect = false;
        qint64 orders = 0;
        qint64 lastOrder = 0; // the last order received; 0: none
        QDateTime lastReceived;
    };

    static MaybeError list(ServerConnection &office, QList<Entry> &entries);
    static MaybeError setEnabled(ServerConnection &office, const QString &code, bool enabled);
    // The password travels as the server's own verifier, made here.
    static MaybeError setPassword(ServerConnection &office, const QString &code, const QString &password);
    // The login of a salesperson, found by code.
    static MaybeError loginOf(ServerConnection &office, const QString &code, QString &login);
};
