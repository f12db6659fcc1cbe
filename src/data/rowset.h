#pragma once

#include "row.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The rows of one SELECT, read whole, so that the count is exact right after opening.
class RowSet
{
public:
    RowSet() = default;
    RowSet(QStringList columns, QList<QVariantList> rows);

    int count() const { return int(m_rows.size()); }
    const QStringList &columns() const { return m_columns; }
    Row row(int index) const { return {m_columns, m_rows.at(index)}; }
    // Null when the row or the column is unknown or the stored value is empty.
    QVariant value(int row, const QString &column) const;
    // The value joined to an empty text: a missing value reads as "".
    QString text(int row, const QString &column) const;

private:
    QStringList m_columns;
    QList<QVariantList> m_rows;
};
