#include "testdatabase.h"

#include "data/connection.h"
#include "tools/democatalogue.h"

#include <QDebug>
#include <QDir>
#include <QUuid>

namespace {

// A failure is told with what was asked, and is then false.
bool done(const MaybeError &error, const QString &what = {})
{
    if (error)
        qWarning() << what << error->description;
    return !error;
}

QString connectionName()
{
    return QStringLiteral("test-") + QUuid::createUuid().toString();
}

} // namespace

TestDatabase::TestDatabase(const Schema::Settings &settings)
{
    Connection connection(connectionName());
    m_valid = done(connection.create(path())) && done(Schema::createWithSettings(connection, settings));
}

QString TestDatabase::path() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("database.mdb"));
}

bool TestDatabase::exec(const QString &sql, const QVariantList &values) const
{
    Connection connection(connectionName());
    return done(connection.open(path())) && done(connection.execute(sql, values), sql);
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &values) const
{
    Connection connection(connectionName());
    RowSet rows;
    if (!done(connection.open(path(), Connection::Mode::ReadOnly)) || !done(connection.select(sql, values, rows), sql)
        || rows.count() == 0 || rows.columns().isEmpty())
        return {};
    return rows.value(0, rows.columns().first());
}

bool TestDatabase::seed(const DemoCatalogue &rows) const
{
    Connection connection(connectionName());
    return done(connection.open(path())) && done(rows.write(connection));
}

QString TestDatabase::sharedFolder()
{
    const QString fromBuild = qEnvironmentVariable("RECORVAN_SHARED");
    return fromBuild.isEmpty() ? QStringLiteral("../shared") : fromBuild;
}

QString TestDatabase::jetFixture()
{
    return sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
}
