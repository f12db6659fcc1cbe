#include "testcompanydatabase.h"

#include "data/salespersoncode.h"
#include "server/companyschema.h"
#include "server/serverconnection.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Database names cannot be bound; these are made here from letters and digits only.
bool runAsOffice(const QString &sql)
{
    ServerConnection connection(QStringLiteral("test-cluster-office"));
    MaybeError error
        = connection.open(TestCluster::current().address(QStringLiteral("postgres"), TestCluster::current().office()));
    if (!error)
        error = connection.execute(sql);
    if (error)
        qWarning() << error->description;
    return !error;
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

bool TestCompanyDatabase::initialise(const QList<QPair<QString, QString>> &salespeople)
{
    ServerConnection connection(QStringLiteral("test-company-init"));
    MaybeError error = connection.open(office());
    if (!error)
        error = CompanySchema::create(connection);
    for (qsizetype i = 0; !error && i < salespeople.size(); ++i) {
        const QString &code = salespeople.at(i).first;
        error = CompanySchema::addSalesperson(connection, code, QStringLiteral("Vendedor %1").arg(code),
            SalespersonCode::defaultLogin(m_name, code), salespeople.at(i).second);
    }
    if (error)
        qWarning() << error->description;
    m_salespeople += salespeople;
    return !error;
}

ServerAddress TestCompanyDatabase::salesperson(const QString &code, const QString &password) const
{
    ServerAddress address = TestCluster::current().address(m_name, SalespersonCode::defaultLogin(m_name, code));
    address.setPassword(password);
    return address;
}

bool TestCompanyDatabase::usePasswordFile()
{
    QFile clusters(TestCluster::current().passwordFile());
    QFile file(m_files.filePath(QStringLiteral("pgpass")));
    if (!clusters.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(clusters.readAll());
    const auto escaped = [](QString text) {
        return text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char(':'), QLatin1String("\\:"));
    };
    for (const auto &[code, password] : std::as_const(m_salespeople))
        file.write(QStringLiteral("*:*:%1:%2:%3\n")
                       .arg(m_name, escaped(SalespersonCode::defaultLogin(m_name, code)), escaped(password))
                       .toUtf8());
    file.close();
    // libpq ignores a password file that others may read.
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && qputenv("PGPASSFILE", QFile::encodeName(file.fileName()));
}
