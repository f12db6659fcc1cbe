#include "row.h"

QString Row::text(const QString &column) const
{
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

int Row::indexOf(const QStringList &columns, const QString &column)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}
