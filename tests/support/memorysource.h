#pragma once

#include "legacy/legacysource.h"

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

    QString description() const override { return QStringLiteral("memoria"); }
    QStringList tableNames() const override;
    MaybeError readTable(const QString &name, LegacyTable &table) override;

    // A value as the tests compare it: NULL spelled out so that it is never taken for "",
    // doubles in their shortest exact form (0.1 + 0.2 stays 0.30000000000000004), times to the
    // millisecond.
    static QString valueText(const QVariant &value);
};
