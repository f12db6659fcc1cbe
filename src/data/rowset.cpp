#include "rowset.h"

RowSet::RowSet(QStringList columns, QList<QVariantList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{ }

QVariant RowSet::value(int row, const QString &column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return this->row(row).value(column);
}

QString RowSet::text(int row, const QString &column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return this->row(row).text(column);
}
