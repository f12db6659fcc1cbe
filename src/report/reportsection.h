#pragma once

#include "reportitem.h"

#include <QList>
#include <QString>

// A band of the report: printed whole, never split over two pages.
struct ReportSection
{
    enum class Kind {
        PageHeader,
        GroupHeader,
        // At the top of a page on which a group goes on, so that the page reads on its own.
        GroupContinuation,
        Detail,
        GroupFooter,
        PageFooter,
    };
    static constexpr int kindCount = 6;

    Kind kind = Kind::Detail;
    QString name;
    int height = 0; // twips
    QList<ReportItem> items;
};
