#include "tabledefinition.h"

namespace {

QString sqlType(TableDefinition::Type type)
{
    switch (type) {
    case TableDefinition::Type::Text:
        return QStringLiteral("TEXT");
    case TableDefinition::Type::Integer:
        return QStringLiteral("INTEGER");
    case TableDefinition::Type::Double:
        return QStringLiteral("DOUBLE PRECISION");
    case TableDefinition::Type::Date:
        return QStringLiteral("DATE");
    }
    return QStringLiteral("TEXT");
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(QStringLiteral(", "));
}

// Statements are put together from words, the definition's names among them; never from values.
QString words(const QStringList &parts)
{
    return parts.join(QLatin1Char(' '));
}

QString list(const QStringList &names)
{
    return QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString matching(const QStringList &columns)
{
    QStringList conditions;
    for (const QString &column : columns)
        conditions.append(column + QStringLiteral(" = ?"));
    return conditions.join(QStringLiteral(" AND "));
}

} // namespace

TableDefinition::TableDefinition(QString name, QList<Column> columns, QList<Key> uniqueKeys, QList<Key> indexes)
    : m_name(std::move(name))
    , m_columns(std::move(columns))
    , m_uniqueKeys(std::move(uniqueKeys))
    , m_indexes(std::move(indexes))
{ }

QStringList TableDefinition::columnNames(bool withRowKey) const
{
    QStringList names;
    for (const Column &column : m_columns) {
        if (withRowKey || !column.rowKey)
            names.append(column.name);
    }
    return names;
}

const TableDefinition::Column *TableDefinition::column(const QString &name) const
{
    for (const Column &column : m_columns) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

QStringList TableDefinition::createStatements() const
{
    QStringList parts;
    for (const Column &column : m_columns) {
        QString part = column.name + QLatin1Char(' ') + sqlType(column.type);
        if (column.rowKey)
            part += QStringLiteral(" PRIMARY KEY");
        if (column.notNull)
            part += QStringLiteral(" NOT NULL");
        parts.append(part);
    }
    for (const Key &key : m_uniqueKeys)
        parts.append(words({QStringLiteral("CONSTRAINT"), key.name, QStringLiteral("UNIQUE"), list(key.columns)}));
    QStringList statements{words({QStringLiteral("CREATE TABLE"), m_name,
        QStringLiteral("(\n    ") + parts.join(QStringLiteral(",\n    ")) + QLatin1Char(')')})};
    for (const Key &index : m_indexes)
        statements.append(
            words({QStringLiteral("CREATE INDEX"), index.name, QStringLiteral("ON"), m_name, list(index.columns)}));
    return statements;
}

QString TableDefinition::insertStatement(QStringList columns) const
{
    if (columns.isEmpty())
        columns = columnNames(false);
    return words({QStringLiteral("INSERT INTO"), m_name, list(columns), QStringLiteral("VALUES"),
        QLatin1Char('(') + placeholders(columns.size()) + QLatin1Char(')')});
}

QString TableDefinition::updateStatement(const QStringList &set, const QStringList &where) const
{
    QStringList assignments;
    for (const QString &column : set)
        assignments.append(column + QStringLiteral(" = ?"));
    return words({QStringLiteral("UPDATE"), m_name, QStringLiteral("SET"), assignments.join(QStringLiteral(", ")),
        QStringLiteral("WHERE"), matching(where)});
}

QString TableDefinition::selectStatement(const QStringList &where, const QString &orderBy) const
{
    QStringList parts{
        QStringLiteral("SELECT"), columnNames().join(QStringLiteral(", ")), QStringLiteral("FROM"), m_name};
    if (!where.isEmpty())
        parts << QStringLiteral("WHERE") << matching(where);
    if (!orderBy.isEmpty())
        parts << QStringLiteral("ORDER BY") << orderBy;
    return words(parts);
}
