#pragma once

#include "reportdocument.h"
#include "reportsection.h"
#include "textfit.h"

#include "data/dberror.h"
#include "data/rowset.h"

#include <QHash>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

// A small banded report engine. The definition is a set of sections with their items; a run
// reads the rows of the data control's query, fires the section events in print order and
// lays the bands out on Letter pages, one group breaking on a column. A group that runs over
// a page goes on under its continuation band; its header never ends a page without one of its
// details, nor its footer start one without. Every text is fitted to its box (TextFit). The
// result is a page model that the painter draws; nothing here paints or shows a window.
class BandedReport
{
public:
    using Event = std::function<void()>;

    // Where the rows come from: a connection string and a statement with its bound values.
    struct DataControl
    {
        QString connectionString;
        QString query;
        QVariantList values;
    };

    // Letter paper, one-inch margins, in twips (1440 to the inch).
    static constexpr int pageWidth = 12240;
    static constexpr int pageHeight = 15840;
    static constexpr int margin = 1440;
    static constexpr int reportWidth = 7650;

    BandedReport() = default;
    BandedReport(const BandedReport &) = delete;
    BandedReport &operator=(const BandedReport &) = delete;

    // One section of each kind, added once.
    void addSection(ReportSection section);
    void setGroupColumn(const QString &column) { m_groupColumn = column; }
    // A group of groups: its header and footer enclose every group of the same outer value.
    void setOuterGroupColumn(const QString &column) { m_outerGroupColumn = column; }

    void setReportStart(Event event) { m_reportStart = std::move(event); }
    void setBeforePrint(ReportSection::Kind kind, Event event);
    void setAfterPrint(ReportSection::Kind kind, Event event);

    // Captions of named labels: the text is printed as set, and read back as last set.
    void setCaption(const QString &labelName, const QString &text);
    QString caption(const QString &labelName) const;
    // The text a named field shows for the current row.
    QString fieldText(const QString &fieldName) const;

    DataControl &dataControl() { return m_dataControl; }
    const DataControl &dataControl() const { return m_dataControl; }

    // The start event, then the rows over a read-only connection of the run's own, then the
    // layout. A failure to read leaves an empty document; its description carries the number.
    MaybeError run();
    // Lays out the given rows, firing the section events; the document is replaced.
    void layout(const RowSet &rows);
    const ReportDocument &document() const { return m_document; }

    // The text of a value under a field format.
    static QString formatValue(const QVariant &value, const QString &format);

private:
    struct SectionSlot
    {
        bool present = false;
        ReportSection section;
        QList<int> paintOrder; // indices into m_items: pictures and boxes first, then texts
        Event beforePrint;
        Event afterPrint;
    };

    SectionSlot &slot(ReportSection::Kind kind) { return m_slots[int(kind)]; }
    const SectionSlot &slot(ReportSection::Kind kind) const { return m_slots[int(kind)]; }
    int height(ReportSection::Kind kind) const;
    int bodyBottom() const;

    void startPage();
    void finishPage();
    // Places a band at the current position, starting a new page first unless `needed`
    // twips from here fit above the page footer; a detail or footer that opens a page is
    // put under the group's continuation band.
    void placeBand(ReportSection::Kind kind, int needed);

    SectionSlot m_slots[ReportSection::kindCount];
    QList<ReportItem> m_items; // every item of every section, in definition order
    QHash<QString, int> m_itemByName;
    QHash<QString, QString> m_captions;
    QString m_groupColumn;
    QString m_outerGroupColumn;
    Event m_reportStart;
    DataControl m_dataControl;
    TextFit m_fit;

    const RowSet *m_rows = nullptr;
    int m_row = -1;
    ReportDocument m_document;
    ReportPage m_page;
    bool m_pageOpen = false;
    bool m_pageHasBody = false;
    int m_y = 0;
};
