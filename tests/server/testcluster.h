#pragma once

#include "server/serveraddress.h"

#include <QString>

// The throwaway PostgreSQL cluster that CTest starts for the server tests (testcluster.sh),
// found through RECORVAN_TEST_CLUSTER. Reading it points libpq at the cluster's password
// file, for this process and the tools it starts.
class TestCluster
{
public:
    static const TestCluster &current();

    bool isAvailable() const { return m_unavailable.isEmpty(); }
    QString unavailableReason() const { return m_unavailable; }
    QString socketFolder() const { return m_socket; }
    // The office role: it may create databases and roles, and owns what it creates.
    QString office() const { return m_office; }
    QString url(const QString &database, const QString &user) const;
    ServerAddress address(const QString &database, const QString &user) const;
    // The cluster's password file (the superuser's and the office's passwords).
    QString passwordFile() const { return m_state + QStringLiteral("/pgpass"); }

    // Runs testcluster.sh COMMAND on this cluster ("halt" stops the server as a crash would,
    // "resume" starts it again) or on a cluster of a benchmark's own in STATE_FOLDER.
    bool run(const QString &command) const { return runScript(command, m_state); }
    static bool runScript(const QString &command, const QString &stateFolder);

private:
    TestCluster();

    QString m_unavailable;
    QString m_state;
    QString m_socket;
    QString m_office;
};

// In initTestCase: skips the test without a cluster, or fails it in CI (CI=true), which must
// run the server tests.
#define REQUIRE_TEST_CLUSTER()                                                                                         \
    do {                                                                                                               \
        if (const QString why_ = TestCluster::current().unavailableReason(); !why_.isEmpty()) {                        \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                QFAIL(qPrintable(QStringLiteral("CI needs the test cluster: ") + why_));                               \
            QSKIP(qPrintable(QStringLiteral("No test cluster: ") + why_));                                             \
        }                                                                                                              \
    } while (false)
