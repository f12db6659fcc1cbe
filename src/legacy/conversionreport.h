#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a conversion did, table by table, and every case where a row was not simply copied:
// merged (an identical repeat written once), kept aside (a row the keys refuse, saved in
// APARTADOS), adjusted (a value changed so the program works, with the value it had).
struct ConversionReport
{
    struct TableCounts
    {
        QString table;
        int read = 0;
        int written = 0;
        int merged = 0;
        int keptAside = 0;
        // The rows the source says the table holds; -1 when it does not say.
        qint64 declared = -1;

        qint64 lost() const { return declared > read ? declared - read : 0; }
    };

    QString source;
    QList<TableCounts> tables;
    QStringList merged;
    QStringList keptAside;
    QStringList adjusted;
    // Facts about the source that changed nothing: a missing table or column, a table left out.
    QStringList notes;
    // What the reader of the file warned about, each line naming its table.
    QStringList warnings;

    TableCounts &counts(const QString &table);
    int writtenRows(const QString &table) const;
    qint64 lostRows() const;
    bool clean() const { return merged.isEmpty() && keptAside.isEmpty() && adjusted.isEmpty() && lostRows() == 0; }
    // The report as the user reads it, in Spanish, one line per fact.
    QString text() const;
};
