#include "testcluster.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QUrl>

const TestCluster &TestCluster::current()
{
    static const TestCluster cluster;
    return cluster;
}

TestCluster::TestCluster()
    : m_state(qEnvironmentVariable("RECORVAN_TEST_CLUSTER"))
{
    const QSettings env(m_state + QStringLiteral("/cluster.env"), QSettings::IniFormat);
    m_unavailable = env.value(QStringLiteral("RECORVAN_PG_UNAVAILABLE")).toString();
    m_socket = env.value(QStringLiteral("RECORVAN_PG_SOCKET")).toString();
    m_office = env.value(QStringLiteral("RECORVAN_PG_OFFICE")).toString();
    if (m_state.isEmpty())
        m_unavailable = QStringLiteral("RECORVAN_TEST_CLUSTER is not set; run the test through ctest, which starts it");
    else if (m_unavailable.isEmpty() && (m_socket.isEmpty() || m_office.isEmpty()))
        m_unavailable = env.fileName() + QStringLiteral(" does not name the socket and the office role: not started?");
    if (isAvailable())
        qputenv("PGPASSFILE", QFile::encodeName(passwordFile()));
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
