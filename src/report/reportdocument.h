#pragma once

#include "reportitem.h"
#include "reportsection.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// The pages a run produced: every band and item where it stands on its page, with the
// text it shows. Preview, printer and PDF all paint from this, and tests read it.
struct PlacedBand
{
    ReportSection::Kind kind;
    QString name;
    QRect rect; // twips, on the page (the paper's top-left corner is 0,0)
};

struct PlacedItem
{
    int definition = -1; // index into ReportDocument::items()
    QRect rect; // twips, on the page
    QString text; // what a label or field shows, fitted to its box (lines split by '\n')
    double fontSize = 0; // points: the item's own size, or smaller where the text needed it
};

struct ReportPage
{
    QList<PlacedBand> bands;
    QList<PlacedItem> items; // band by band: each band's pictures and boxes, then its texts
};

class ReportDocument
{
public:
    ReportDocument() = default;
    ReportDocument(QSize pageSize, QList<ReportItem> items);

    int pageCount() const { return int(m_pages.size()); }
    const ReportPage &page(int index) const { return m_pages.at(index); }
    QSize pageSize() const { return m_pageSize; } // twips
    const QList<ReportItem> &items() const { return m_items; }
    const ReportItem &item(const PlacedItem &placed) const { return m_items.at(placed.definition); }

    // The texts of the visible items of that name on the page, top to bottom.
    QStringList texts(int page, const QString &itemName) const;
    // The first of them, or an empty text.
    QString text(int page, const QString &itemName) const;
    // Every visible text of the page, in painting order.
    QStringList texts(int page) const;
    // The names of the bands on the page, top to bottom.
    QStringList bandNames(int page) const;

    void appendPage(ReportPage page) { m_pages.append(std::move(page)); }
    // The other document's pages after these, with its items.
    void append(const ReportDocument &other);
    bool operator==(const ReportDocument &other) const;

private:
    QSize m_pageSize;
    QList<ReportItem> m_items;
    QList<ReportPage> m_pages;
};
