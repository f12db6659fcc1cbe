#pragma once

#include "data/legacy/legacysource.h"

#include <QList>

// Tables held in memory and handed over as the Jet reader would hand them: for the tests of
// the conversion rules and for timing the conversion without a file.
class MemorySource : public LegacySource
{
public:
    QList<LegacyTable> tables;
    // A table whose reading fails, as a damaged file's would.
    QString failOn;

    MemorySource &add(const QString &name, const QStringList &columns, const QList<QVariantList> &rows);

    QString description() const override;
    QStringList tableNames() const override;
    MaybeError readTable(const QString &name, LegacyTable &table) override;
};
