#pragma once

#include "data/server/serveraddress.h"

#include <QString>
#include <QTemporaryDir>

// An empty database of its own on the test cluster, owned by the office role and dropped at
// the end; the logins made for it start with its name, so that tests never share one.
class TestCompanyDatabase
{
public:
    TestCompanyDatabase();
    ~TestCompanyDatabase();
    TestCompanyDatabase(const TestCompanyDatabase &) = delete;
    TestCompanyDatabase &operator=(const TestCompanyDatabase &) = delete;

    bool isValid() const { return m_valid; }
    QString name() const { return m_name; }
    QString url() const;
    // The office's address (its password comes from the cluster's password file).
    ServerAddress office() const;
    // With server-init run on it and the salespeople given as code and password.
    bool initialise(const QList<QPair<QString, QString>> &salespeople = {});
    ServerAddress salesperson(const QString &code, const QString &password) const;
    // Points libpq (here and in the processes started from here) at a password file that also
    // holds the salespeople's passwords, as a laptop's ~/.pgpass would.
    bool usePasswordFile();

private:
    QString m_name;
    bool m_valid = false;
    QList<QPair<QString, QString>> m_salespeople;
    QTemporaryDir m_files;
};
