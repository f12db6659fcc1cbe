#pragma once

#include "reportitem.h"

#include <QList>
#include <QString>

// A band of the report: printed whole, never split over two pages.
struct ReportSection
{
    enum class Kind {
        PageHeader,
        // Around the groups, when the report breaks on a second, outer column too.
        OuterGroupHeader,
        GroupHeader,
        // At the top of a page on which a group goes on, so that the page reads on its own.
        GroupContinuation,
        Detail,
        GroupFooter,
        OuterGroupFooter,
        PageFooter,
    };
    static constexpr int kindCount = 8;

    Kind kind = Kind::Detail;
    QString name;
    int height = 0; // twips
    QList<ReportItem> items;
};
