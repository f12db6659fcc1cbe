#include "tabledefinition.h"

namespace {

using Dialect = TableDefinition::Dialect;

QString sqlType(TableDefinition::Type type, Dialect dialect)
{
    const bool postgres = dialect == Dialect::PostgreSQL;
    switch (type) {
    case TableDefinition::Type::Text:
        return QStringLiteral("TEXT");
    case TableDefinition::Type::Integer:
        return QStringLiteral("INTEGER");
    case TableDefinition::Type::BigInteger:
        return postgres ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    case TableDefinition::Type::Double:
        return QStringLiteral("DOUBLE PRECISION");
    case TableDefinition::Type::Date:
        return QStringLiteral("DATE");
    case TableDefinition::Type::Boolean:
        return postgres ? QStringLiteral("BOOLEAN") : QStringLiteral("INTEGER");
    case TableDefinition::Type::Timestamp:
        return postgres ? QStringLiteral("TIMESTAMP WITH TIME ZONE") : QStringLiteral("TEXT");
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

// A column as CREATE TABLE or ADD COLUMN writes it. A column added to a table that already has
// rows cannot be NOT NULL without a default.
QString columnDefinition(const TableDefinition::Column &column, Dialect dialect, bool added = false)
{
    QStringList parts{column.name, sqlType(column.type, dialect)};
    if (column.rowKey)
        parts << (dialect == Dialect::PostgreSQL ? QStringLiteral("GENERATED ALWAYS AS IDENTITY")
                                                 : QStringLiteral("PRIMARY KEY"));
    if (column.notNull && (!added || !column.defaultValue.isEmpty()))
        parts << QStringLiteral("NOT NULL");
    if (!column.defaultValue.isEmpty())
        parts << QStringLiteral("DEFAULT") << column.defaultValue;
    if (!column.references.isEmpty())
        parts << QStringLiteral("REFERENCES") << column.references;
    return words(parts);
}

} // namespace

TableDefinition::TableDefinition(QString name, QList<Column> columns, QList<Key> uniqueKeys, QList<Key> indexes)
    : m_name(std::move(name))
    , m_columns(std::move(columns))
    , m_uniqueKeys(std::move(uniqueKeys))
    , m_indexes(std::move(indexes))
{ }

TableDefinition TableDefinition::keyed(QString name, QList<Column> columns, Keys keys)
{
    TableDefinition table(std::move(name), std::move(columns), std::move(keys.unique), std::move(keys.indexes));
    table.m_primaryKey = std::move(keys.primary);
    table.m_references = std::move(keys.references);
    return table;
}

TableDefinition TableDefinition::widened(const QList<Column> &before, const QList<Column> &after, Keys keys) const
{
    return keyed(m_name, before + m_columns + after, std::move(keys));
}

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

QString TableDefinition::typedColumns(const QStringList &columns) const
{
    QStringList typed;
    for (const QString &name : columns) {
        const Column *found = column(name);
        typed.append(name + QLatin1Char(' ') + sqlType(found ? found->type : Type::Text, Dialect::PostgreSQL));
    }
    return typed.join(QStringLiteral(", "));
}

QStringList TableDefinition::createStatements(Dialect dialect) const
{
    const bool postgres = dialect == Dialect::PostgreSQL;
    QStringList parts;
    for (const Column &column : m_columns)
        parts.append(columnDefinition(column, dialect));
    if (m_primaryKey)
        parts.append(words({QStringLiteral("CONSTRAINT"), m_primaryKey->name, QStringLiteral("PRIMARY KEY"),
            list(m_primaryKey->columns)}));
    for (const Key &key : m_uniqueKeys)
        parts.append(words({QStringLiteral("CONSTRAINT"), key.name, QStringLiteral("UNIQUE"), list(key.columns)}));
    for (const Reference &reference : m_references)
        parts.append(words({QStringLiteral("CONSTRAINT"), reference.name, QStringLiteral("FOREIGN KEY"),
            list(reference.columns), QStringLiteral("REFERENCES"), reference.table}));
    QStringList statements{
        words({postgres ? QStringLiteral("CREATE TABLE IF NOT EXISTS") : QStringLiteral("CREATE TABLE"), m_name,
            QStringLiteral("(\n    ") + parts.join(QStringLiteral(",\n    ")) + QLatin1Char(')')})};
    if (postgres) {
        for (const Column &column : m_columns)
            statements.append(words({QStringLiteral("ALTER TABLE"), m_name, QStringLiteral("ADD COLUMN IF NOT EXISTS"),
                columnDefinition(column, dialect, true)}));
    }
    for (const Key &index : m_indexes) {
        QStringList create{postgres ? QStringLiteral("CREATE INDEX IF NOT EXISTS") : QStringLiteral("CREATE INDEX"),
            index.name, QStringLiteral("ON"), m_name, list(index.columns)};
        if (!index.filter.isEmpty())
            create << QStringLiteral("WHERE") << index.filter;
        statements.append(words(create));
    }
    return statements;
}

QString TableDefinition::insertStatement(QStringList columns) const
{
    if (columns.isEmpty())
        columns = columnNames(false);
    return words({QStringLiteral("INSERT INTO"), m_name, list(columns), QStringLiteral("VALUES"),
        QLatin1Char('(') + placeholders(columns.size()) + QLatin1Char(')')});
}

QString TableDefinition::condition(const Condition &condition) const
{
    switch (condition.kind) {
    case Condition::Kind::Equals:
        return condition.column + QStringLiteral(" = ?");
    case Condition::Kind::EqualsBlankAsEmpty:
        return QStringLiteral("COALESCE(%1, '') = ?").arg(condition.column);
    case Condition::Kind::Below:
        return QStringLiteral("(%1 IS NULL OR %1 < ?)").arg(condition.column);
    case Condition::Kind::FirstRow:
        return QStringLiteral("rowid = (SELECT MIN(rowid) FROM %1)").arg(m_name);
    }
    return {};
}

QString TableDefinition::updateStatement(const QList<Assignment> &set, const QList<Condition> &where) const
{
    QStringList assignments;
    for (const Assignment &assignment : set) {
        switch (assignment.kind) {
        case Assignment::Kind::Value:
            assignments.append(assignment.column + QStringLiteral(" = ?"));
            break;
        case Assignment::Kind::LessValue:
            assignments.append(QStringLiteral("%1 = %1 - ?").arg(assignment.column));
            break;
        case Assignment::Kind::NextNumber:
            assignments.append(QStringLiteral("%1 = %1 + 1").arg(assignment.column));
            break;
        }
    }
    QStringList conditions;
    for (const Condition &each : where)
        conditions.append(condition(each));
    QStringList parts{QStringLiteral("UPDATE"), m_name, QStringLiteral("SET"), assignments.join(QStringLiteral(", "))};
    if (!conditions.isEmpty())
        parts << QStringLiteral("WHERE") << conditions.join(QStringLiteral(" AND "));
    return words(parts);
}

QString TableDefinition::updateStatement(const QStringList &set, const QStringList &where) const
{
    QList<Assignment> assignments;
    for (const QString &column : set)
        assignments.append({column});
    QList<Condition> conditions;
    for (const QString &column : where)
        conditions.append({column});
    return updateStatement(assignments, conditions);
}

QString TableDefinition::selectStatement(const QStringList &where, const QString &orderBy, QStringList columns) const
{
    if (columns.isEmpty())
        columns = columnNames();
    QStringList parts{QStringLiteral("SELECT"), columns.join(QStringLiteral(", ")), QStringLiteral("FROM"), m_name};
    if (!where.isEmpty())
        parts << QStringLiteral("WHERE") << matching(where);
    if (!orderBy.isEmpty())
        parts << QStringLiteral("ORDER BY") << orderBy;
    return words(parts);
}

QString TableDefinition::deleteStatement(const QStringList &where) const
{
    QStringList parts{QStringLiteral("DELETE FROM"), m_name};
    if (!where.isEmpty())
        parts << QStringLiteral("WHERE") << matching(where);
    return words(parts);
}

QString TableDefinition::countStatement(const QStringList &where) const
{
    QStringList parts{QStringLiteral("SELECT COUNT(*) AS N FROM"), m_name};
    if (!where.isEmpty())
        parts << QStringLiteral("WHERE") << matching(where);
    return words(parts);
}

QString TableDefinition::highestStatement(const QString &column) const
{
    return QStringLiteral("SELECT MAX(%1) AS N FROM %2").arg(column, m_name);
}
