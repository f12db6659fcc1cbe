#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One table of a database from the older program, as the reader hands it over: the column
// names in the file's order and every row in stored order. A missing value is a null
// QVariant; an empty text is a non-null empty QString, so the two never mix.
struct LegacyTable
{
    QString name;
    QStringList columns;
    QList<QVariantList> rows;
    // Rows whose text held characters that could not be read, by 0-based row index, with why.
    QList<QPair<int, QString>> unreadable;
    // The row count the file's own table definition records; -1 when the source keeps none.
    // More than were read means rows the reader could not reach.
    qint64 declaredRows = -1;
    // What the reading library warned about while reading this table, one line each.
    QStringList warnings;

    // The column's index, matched without regard to case; -1 when the table lacks it.
    int columnIndex(const QString &column) const;
};
