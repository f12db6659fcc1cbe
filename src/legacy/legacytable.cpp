#include "legacytable.h"

int LegacyTable::columnIndex(const QString &column) const
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}
