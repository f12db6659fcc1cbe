#include "testdatabase.h"

#include "data/connection.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <QtTest>

TestDatabase::TestDatabase(const Schema::Settings &settings)
{
    Connection connection(QStringLiteral("test-setup-") + QUuid::createUuid().toString());
    if (MaybeError error = connection.create(path())) {
        qWarning() << error->description;
        return;
    }
    if (MaybeError error = Schema::createWithSettings(connection, settings)) {
        qWarning() << error->description;
        return;
    }
    m_valid = true;
}

QString TestDatabase::path() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("database.mdb"));
}

bool TestDatabase::exec(const QString &sql, const QVariantList &values) const
{
    Connection connection(QStringLiteral("test-exec-") + QUuid::createUuid().toString());
    if (MaybeError error = connection.open(path())) {
        qWarning() << error->description;
        return false;
    }
    if (MaybeError error = connection.execute(sql, values)) {
        qWarning() << sql << error->description;
        return false;
    }
    return true;
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &values) const
{
    Connection connection(QStringLiteral("test-read-") + QUuid::createUuid().toString());
    if (MaybeError error = connection.open(path(), Connection::Mode::ReadOnly)) {
        qWarning() << error->description;
        return {};
    }
    RowSet rows;
    if (MaybeError error = connection.select(sql, values, rows)) {
        qWarning() << sql << error->description;
        return {};
    }
    if (rows.count() == 0 || rows.columns().isEmpty())
        return {};
    return rows.value(0, rows.columns().first());
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
