#pragma once

#include "data/dberror.h"
#include "legacytable.h"

#include <QStringList>

// Where the conversion reads the older program's tables from. The Jet file reader is one;
// tests hand rows over directly through another, so the merge rules need no file.
class LegacySource
{
public:
    virtual ~LegacySource() = default;

    // A name for the report, such as the file's path.
    virtual QString description() const = 0;
    // The user tables the source holds, in its own spelling.
    virtual QStringList tableNames() const = 0;
    // Reads one whole table; an error when the source cannot be read.
    virtual MaybeError readTable(const QString &name, LegacyTable &table) = 0;
    // What the reader warned about outside any one table, such as the file's list of tables.
    virtual QStringList warnings() const { return {}; }
};
