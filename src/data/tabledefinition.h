#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One table as the store defines it: name, columns, types and keys. The statements that create,
// check, fill and change the table are made from here, so each table is written down once.
// Names in the statements are the definition's own constants; values are always placeholders.
class TableDefinition
{
public:
    enum class Type { Text, Integer, Double, Date };

    struct Column
    {
        QString name;
        Type type = Type::Text;
        bool notNull = false;
        bool rowKey = false; // INTEGER PRIMARY KEY: the engine numbers new rows itself
    };

    // A UNIQUE constraint inside the table, or an index of its own beside it.
    struct Key
    {
        QString name;
        QStringList columns;
    };

    TableDefinition(QString name, QList<Column> columns, QList<Key> uniqueKeys = {}, QList<Key> indexes = {});

    const QString &name() const { return m_name; }
    const QList<Column> &columns() const { return m_columns; }
    const QList<Key> &uniqueKeys() const { return m_uniqueKeys; }
    // Every column, or every one but the row key.
    QStringList columnNames(bool withRowKey = true) const;
    const Column *column(const QString &name) const;

    // CREATE TABLE, then CREATE INDEX for each index.
    QStringList createStatements() const;
    // INSERT of the given columns, in their order (every column but the row key when none given).
    QString insertStatement(QStringList columns = {}) const;
    // UPDATE of the given columns for the rows whose `where` columns match: the placeholders are
    // the set columns, then the where columns, in their order.
    QString updateStatement(const QStringList &set, const QStringList &where) const;
    // SELECT of every column, optionally for matching `where` columns and in an order.
    QString selectStatement(const QStringList &where = {}, const QString &orderBy = {}) const;

private:
    QString m_name;
    QList<Column> m_columns;
    QList<Key> m_uniqueKeys;
    QList<Key> m_indexes;
};
