#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One table as the store defines it: name, columns, types and keys. The statements that create,
// check, fill, read and change the table are made from here, so each table is written down
// once: the laptop's SQLite tables and the company server's PostgreSQL ones (which are the
// laptop's with a few columns more). Names in the statements are the definition's own
// constants; values are always placeholders.
class TableDefinition
{
public:
    enum class Type { Text, Integer, BigInteger, Double, Date, Boolean, Timestamp };
    enum class Dialect { SQLite, PostgreSQL };

    struct Column
    {
        QString name;
        Type type = Type::Text;
        bool notNull = false;
        bool rowKey = false; // numbered by the engine: INTEGER PRIMARY KEY, or an identity column
        QString defaultValue = {}; // an SQL expression of the definition's own, never a value
        QString references = {}; // "TABLE (COLUMN)"
    };

    // A key inside the table, or an index of its own beside it (only over the rows `filter`
    // keeps, when it has one).
    struct Key
    {
        QString name;
        QStringList columns;
        QString filter = {};
    };

    // A foreign key of several columns.
    struct Reference
    {
        QString name;
        QStringList columns;
        QString table;
    };

    // What an UPDATE sets a column to.
    struct Assignment
    {
        enum class Kind {
            Value, // the bound value
            LessValue, // its own value less the bound one
            NextNumber, // its own value plus one
        };
        QString column;
        Kind kind = Kind::Value;
    };

    // Which rows a statement touches.
    struct Condition
    {
        enum class Kind {
            Equals, // the bound value
            EqualsBlankAsEmpty, // the bound value, an unset value counting as ""
            Below, // unset, or below the bound value
            FirstRow, // the table's first row, as a plain SELECT gives it (binds nothing)
        };
        QString column;
        Kind kind = Kind::Equals;
    };

    TableDefinition(QString name, QList<Column> columns, QList<Key> uniqueKeys = {}, QList<Key> indexes = {});
    // A table keyed by a primary key: the company server's.
    struct Keys
    {
        Key primary;
        QList<Key> unique = {};
        QList<Key> indexes = {};
        QList<Reference> references = {};
    };
    static TableDefinition keyed(QString name, QList<Column> columns, Keys keys);
    // The same table with columns before and after its own, and keys of its own instead of its
    // keys (the company server's tables from the laptop's).
    TableDefinition widened(const QList<Column> &before, const QList<Column> &after, Keys keys) const;

    const QString &name() const { return m_name; }
    const QList<Column> &columns() const { return m_columns; }
    const QList<Key> &uniqueKeys() const { return m_uniqueKeys; }
    // Every column, or every one but the row key.
    QStringList columnNames(bool withRowKey = true) const;
    const Column *column(const QString &name) const;
    // The columns with their types, as PostgreSQL reads a record: "COD_ART TEXT, STK_ACTUAL INTEGER".
    QString typedColumns(const QStringList &columns) const;

    // SQLite: CREATE TABLE, then CREATE INDEX for each index. PostgreSQL: the same, made only
    // when missing, and each column added when missing, so that a database made by an earlier
    // format takes the columns added since.
    QStringList createStatements(Dialect dialect = Dialect::SQLite) const;
    // INSERT of the given columns, in their order (every column but the row key when none given).
    QString insertStatement(QStringList columns = {}) const;
    // UPDATE of the set columns for the rows that match: the placeholders are those of the set
    // columns, then those of the conditions, in their order.
    QString updateStatement(const QList<Assignment> &set, const QList<Condition> &where) const;
    // The same, each column set to its bound value and each condition an equality.
    QString updateStatement(const QStringList &set, const QStringList &where) const;
    // SELECT of the given columns (every one when none given), for matching rows and in an order.
    QString selectStatement(const QStringList &where = {}, const QString &orderBy = {}, QStringList columns = {}) const;
    // DELETE of the rows that match (every row when no column is given).
    QString deleteStatement(const QStringList &where = {}) const;
    // The rows that match, counted as N.
    QString countStatement(const QStringList &where = {}) const;
    // The highest value of a column, as N (NULL for an empty table).
    QString highestStatement(const QString &column) const;

private:
    QString condition(const Condition &condition) const;

    QString m_name;
    QList<Column> m_columns;
    QList<Key> m_uniqueKeys;
    QList<Key> m_indexes;
    std::optional<Key> m_primaryKey;
    QList<Reference> m_references;
};
