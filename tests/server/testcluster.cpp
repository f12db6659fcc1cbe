#include "testcluster.h"

#include <QFile>
#include <QProcess>
#include <QUrl>

const TestCluster &TestCluster::current()
{
    static const TestCluster cluster;
    return cluster;
}

bool TestCluster::mustRun()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

TestCluster::TestCluster()
{
    const QString state = qEnvironmentVariable("RECORVAN_TEST_CLUSTER");
    m_state = state;
    if (state.isEmpty()) {
        m_unavailable = QStringLiteral("RECORVAN_TEST_CLUSTER is not set; run the test through ctest, which starts "
                                       "the cluster");
        return;
    }
    QFile env(state + QStringLiteral("/cluster.env"));
    if (!env.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_unavailable = QStringLiteral("%1 is missing; the cluster was not started").arg(env.fileName());
        return;
    }
    while (!env.atEnd()) {
        const QString line = QString::fromUtf8(env.readLine()).trimmed();
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("RECORVAN_PG_UNAVAILABLE"))
            m_unavailable = value;
        else if (key == QLatin1String("RECORVAN_PG_SOCKET"))
            m_socket = value;
        else if (key == QLatin1String("RECORVAN_PG_OFFICE"))
            m_office = value;
    }
    if (m_unavailable.isEmpty() && (m_socket.isEmpty() || m_office.isEmpty()))
        m_unavailable = QStringLiteral("%1 does not name the socket and the office role").arg(env.fileName());
    if (isAvailable())
        qputenv("PGPASSFILE", QFile::encodeName(state + QStringLiteral("/pgpass")));
}

QString TestCluster::url(const QString &database, const QString &user) const
{
    return QStringLiteral("postgresql:///%1?host=%2&user=%3")
        .arg(database, QString::fromUtf8(QUrl::toPercentEncoding(m_socket)), user);
}

ServerAddress TestCluster::address(const QString &database, const QString &user) const
{
    ServerAddress address;
    ServerAddress::parse(url(database, user), address);
    return address;
}

bool TestCluster::runScript(const QString &command, const QString &stateFolder)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral("bash"), {QStringLiteral(RECORVAN_TEST_CLUSTER_SCRIPT), command, stateFolder});
    if (!script.waitForFinished(120000)) {
        script.kill();
        script.waitForFinished();
        return false;
    }
    return script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

bool TestCluster::halt() const
{
    return runScript(QStringLiteral("halt"), m_state);
}

bool TestCluster::resume() const
{
    return runScript(QStringLiteral("resume"), m_state);
}
