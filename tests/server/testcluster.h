#pragma once

#include "data/server/serveraddress.h"

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
    // CI must run the server tests: there a missing cluster fails them instead of skipping.
    static bool mustRun();

    QString socketFolder() const { return m_socket; }
    // The office role: it may create databases and roles, and owns what it creates.
    QString office() const { return m_office; }
    QString url(const QString &database, const QString &user) const;
    ServerAddress address(const QString &database, const QString &user) const;
    // The cluster's password file (the superuser's and the office's passwords).
    QString passwordFile() const { return m_state + QStringLiteral("/pgpass"); }

    // Stops the server at once, as a crash would, and starts it again (testcluster.sh).
    bool halt() const;
    bool resume() const;
    // Runs testcluster.sh COMMAND STATE_FOLDER: a program that needs a cluster of its own (a
    // benchmark) starts and stops one with it.
    static bool runScript(const QString &command, const QString &stateFolder);

private:
    TestCluster();

    QString m_unavailable;
    QString m_state;
    QString m_socket;
    QString m_office;
};

// In initTestCase: skips the test without a cluster, or fails it in CI.
#define REQUIRE_TEST_CLUSTER()                                                                                         \
    do {                                                                                                               \
        const TestCluster &cluster_ = TestCluster::current();                                                          \
        if (!cluster_.isAvailable()) {                                                                                 \
            if (TestCluster::mustRun())                                                                                \
                QFAIL(qPrintable(QStringLiteral("CI needs the test cluster: ") + cluster_.unavailableReason()));       \
            QSKIP(qPrintable(QStringLiteral("No test cluster: ") + cluster_.unavailableReason()));                     \
        }                                                                                                              \
    } while (false)
