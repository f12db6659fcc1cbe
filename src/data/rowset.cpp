#include "rowset.h"

RowSet::RowSet(QStringList columns, QList<QVariantList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{ }

QVariant RowSet::value(int row, const QString &column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    // Column names are compared as SQL does, without regard to case.
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return m_rows.at(row).at(i);
    }
    return {};
}

QString RowSet::text(int row, const QString &column) const
{
    const QVariant v = value(row, column);
    return v.isNull() ? QString() : v.toString();
}
