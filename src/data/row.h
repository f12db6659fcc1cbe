#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// One row of a statement's result under the statement's column names, as the store hands rows
// over. It looks at the reader's own lists: it is valid while the row is being read.
class Row
{
public:
    Row(const QStringList &columns, const QVariantList &values)
        : m_columns(columns)
        , m_values(values)
    { }

    const QStringList &columns() const { return m_columns; }
    const QVariantList &values() const { return m_values; }
    // Where a column stands, compared as SQL compares names (without regard to case); -1 when
    // the statement has none of that name.
    int indexOf(const QString &column) const { return indexOf(m_columns, column); }
    QVariant value(int index) const { return m_values.value(index); }
    // Null when the column is unknown or the stored value is empty.
    QVariant value(const QString &column) const { return value(indexOf(column)); }
    // The value as a text: a missing value reads as "".
    QString text(const QString &column) const;

    static int indexOf(const QStringList &columns, const QString &column);

private:
    const QStringList &m_columns;
    const QVariantList &m_values;
};
