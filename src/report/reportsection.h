#pragma once

#include "reportitem.h"

#include <QList>
#include <QString>

// A band of the report: printed whole, never split over two pages.
struct ReportSection
{
    enum class Kind { PageHeader, GroupHeader, Detail, GroupFooter, PageFooter };

    Kind kind = Kind::Detail;
    QString name;
    int height = 0; // twips
    QList<ReportItem> items;
};
