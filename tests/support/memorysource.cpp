#include "memorysource.h"

#include <QDateTime>
#include <QLocale>

MemorySource &MemorySource::add(const QString &name, const QStringList &columns, const QList<QVariantList> &rows)
{
    tables << LegacyTable{name, columns, rows, {}};
    return *this;
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

QString MemorySource::valueText(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    return value.toString();
}
