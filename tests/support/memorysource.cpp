#include "memorysource.h"

MemorySource &MemorySource::add(const QString &name, const QStringList &columns, const QList<QVariantList> &rows)
{
    tables << LegacyTable{name, columns, rows, {}};
    return *this;
}

QString MemorySource::description() const
{
    return QStringLiteral("memoria");
}

QStringList MemorySource::tableNames() const
{
    QStringList names;
    for (const LegacyTable &table : tables)
        names << table.name;
    return names;
}

MaybeError MemorySource::readTable(const QString &name, LegacyTable &table)
{
    for (const LegacyTable &candidate : tables) {
        if (candidate.name == name && name != failOn) {
            table = candidate;
            return std::nullopt;
        }
    }
    return DbError{DbErrorNumber::NotADatabase, QStringLiteral("la tabla %1 está dañada").arg(name)};
}
