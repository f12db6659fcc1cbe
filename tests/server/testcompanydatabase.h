#pragma once

#include "server/serveraddress.h"
#include "testcluster.h"

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
    // The office's URL and address (its password comes from the cluster's password file).
    QString url() const { return TestCluster::current().url(m_name, TestCluster::current().office()); }
    ServerAddress office() const { return TestCluster::current().address(m_name, TestCluster::current().office()); }
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
