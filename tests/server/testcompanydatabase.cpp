#include "testcompanydatabase.h"

#include "data/server/companyschema.h"
#include "data/server/serverconnection.h"
#include "testcluster.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Database names cannot be bound; these are made here from letters and digits only.
bool runAsOffice(const QString &sql)
{
    ServerConnection connection(QStringLiteral("test-cluster-office"));
    if (MaybeError error = connection.open(
            TestCluster::current().address(QStringLiteral("postgres"), TestCluster::current().office()))) {
        qWarning() << error->description;
        return false;
    }
    if (MaybeError error = connection.execute(sql)) {
        qWarning() << error->description;
        return false;
    }
    return true;
}

} // namespace

TestCompanyDatabase::TestCompanyDatabase()
    : m_name(QStringLiteral("t%1").arg(QRandomGenerator::global()->generate64(), 0, 36))
{
    m_valid = TestCluster::current().isAvailable() && runAsOffice(QStringLiteral("CREATE DATABASE %1").arg(m_name));
}

TestCompanyDatabase::~TestCompanyDatabase()
{
    if (qEnvironmentVariable("PGPASSFILE").startsWith(m_files.path()))
        qputenv("PGPASSFILE", QFile::encodeName(TestCluster::current().passwordFile()));
    if (m_valid)
        runAsOffice(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_name));
}

QString TestCompanyDatabase::url() const
{
    return TestCluster::current().url(m_name, TestCluster::current().office());
}

ServerAddress TestCompanyDatabase::office() const
{
    return TestCluster::current().address(m_name, TestCluster::current().office());
}

bool TestCompanyDatabase::initialise(const QList<QPair<QString, QString>> &salespeople)
{
    ServerConnection connection(QStringLiteral("test-company-init"));
    MaybeError error = connection.open(office());
    if (!error)
        error = CompanySchema::create(connection);
    for (qsizetype i = 0; !error && i < salespeople.size(); ++i) {
        const QString &code = salespeople.at(i).first;
        error = CompanySchema::addSalesperson(connection, code, QStringLiteral("Vendedor %1").arg(code),
            CompanySchema::defaultLogin(m_name, code), salespeople.at(i).second);
    }
    if (error)
        qWarning() << error->description;
    m_salespeople += salespeople;
    return !error;
}

bool TestCompanyDatabase::usePasswordFile()
{
    QFile cluster(TestCluster::current().passwordFile());
    QFile file(m_files.filePath(QStringLiteral("pgpass")));
    if (!cluster.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(cluster.readAll());
    const auto escaped = [](QString text) {
        return text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char(':'), QLatin1String("\\:"));
    };
    for (const auto &[code, password] : std::as_const(m_salespeople))
        file.write(QStringLiteral("*:*:%1:%2:%3\n")
                       .arg(m_name, escaped(CompanySchema::defaultLogin(m_name, code)), escaped(password))
                       .toUtf8());
    file.close();
    // libpq ignores a password file that others may read.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qputenv("PGPASSFILE", QFile::encodeName(file.fileName()));
    return true;
}

ServerAddress TestCompanyDatabase::salesperson(const QString &code, const QString &password) const
{
    ServerAddress address = TestCluster::current().address(m_name, CompanySchema::defaultLogin(m_name, code));
    address.setPassword(password);
    return address;
}
