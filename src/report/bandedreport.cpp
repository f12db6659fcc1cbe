#include "bandedreport.h"

#include "base/regional.h"
#include "data/connection.h"

#include <QAtomicInt>
#include <QDate>

namespace {

const QString standardFormat = QStringLiteral("#,##0.00");
const QString shortDateFormat = QStringLiteral("Short Date");

bool isText(const ReportItem &item)
{
    return item.hasText();
}

} // namespace

void BandedReport::addSection(ReportSection section)
{
    SectionSlot &target = slot(section.kind);
    if (target.present)
        return;
    target.present = true;
    QList<int> texts;
    for (const ReportItem &item : section.items) {
        const int index = int(m_items.size());
        m_items.append(item);
        m_itemByName.insert(item.name, index);
        if (item.kind == ReportItem::Kind::Label)
            m_captions.insert(item.name, item.text);
        if (isText(item))
            texts.append(index);
        else
            target.paintOrder.append(index);
    }
    target.paintOrder.append(texts);
    target.section = std::move(section);
}

void BandedReport::setBeforePrint(ReportSection::Kind kind, Event event)
{
    slot(kind).beforePrint = std::move(event);
}

void BandedReport::setAfterPrint(ReportSection::Kind kind, Event event)
{
    slot(kind).afterPrint = std::move(event);
}

void BandedReport::setCaption(const QString &labelName, const QString &text)
{
    m_captions.insert(labelName, text);
}

QString BandedReport::caption(const QString &labelName) const
{
    return m_captions.value(labelName);
}

QString BandedReport::fieldText(const QString &fieldName) const
{
    const auto found = m_itemByName.constFind(fieldName);
    if (found == m_itemByName.constEnd() || !m_rows || m_row < 0)
        return {};
    const ReportItem &item = m_items.at(*found);
    if (item.kind != ReportItem::Kind::Field)
        return {};
    return formatValue(m_rows->value(m_row, item.column), item.format);
}

QString BandedReport::formatValue(const QVariant &value, const QString &format)
{
    if (value.isNull())
        return {};
    if (format == standardFormat) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? Regional::standard(number) : value.toString();
    }
    if (format == shortDateFormat) {
        // Dates are stored as ISO text; anything else is shown as it stands.
        const QDate date = value.typeId() == QMetaType::QDate
            ? value.toDate()
            : QDate::fromString(value.toString().left(10), Qt::ISODate);
        return date.isValid() ? Regional::shortDate(date) : value.toString();
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Regional::plainNumber(value.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Regional::plainInteger(value.toLongLong());
    default:
        return value.toString();
    }
}

MaybeError BandedReport::run()
{
    m_document = ReportDocument();
    if (m_reportStart)
        m_reportStart();

    const QString path = Connection::pathFromConnectionString(m_dataControl.connectionString);
    if (path.isEmpty())
        return DbError{DbErrorNumber::CantOpen, QStringLiteral("El informe no tiene una base de datos de donde leer.")};

    // Each run reads over a connection of its own, so that it never disturbs the program's one.
    static QAtomicInt runs;
    Connection connection(QStringLiteral("BandedReport-%1").arg(runs.fetchAndAddRelaxed(1)));
    if (MaybeError error = connection.open(path, Connection::Mode::ReadOnly))
        return DbError{error->number, error->text()};
    RowSet rows;
    if (MaybeError error = connection.select(m_dataControl.query, m_dataControl.values, rows))
        return DbError{error->number, error->text()};
    connection.close();

    layout(rows);
    return std::nullopt;
}

int BandedReport::height(ReportSection::Kind kind) const
{
    const SectionSlot &s = slot(kind);
    return s.present ? s.section.height : 0;
}

int BandedReport::bodyBottom() const
{
    return pageHeight - margin - height(ReportSection::Kind::PageFooter);
}

void BandedReport::layout(const RowSet &rows)
{
    using Kind = ReportSection::Kind;
    m_document = ReportDocument(QSize(pageWidth, pageHeight), m_items);
    m_rows = &rows;
    m_row = rows.count() > 0 ? 0 : -1;
    m_pageOpen = false;

    startPage();
    const bool grouped = !m_groupColumn.isEmpty();
    const bool outerGrouped = !m_outerGroupColumn.isEmpty();
    const int detailHeight = height(Kind::Detail);
    const int footerHeight = height(Kind::GroupFooter);
    const int outerFooterHeight = height(Kind::OuterGroupFooter);
    // A row opens (or closes) a group where its key differs from the row before (or after).
    const auto differs = [&rows](const QString &column, int row, int other) {
        return other < 0 || other >= rows.count() || rows.value(row, column) != rows.value(other, column);
    };
    for (int row = 0; row < rows.count(); ++row) {
        const bool outerFirst = outerGrouped && differs(m_outerGroupColumn, row, row - 1);
        const bool outerLast = outerGrouped && differs(m_outerGroupColumn, row, row + 1);
        const bool first = grouped && (outerFirst || differs(m_groupColumn, row, row - 1));
        const bool last = grouped && (outerLast || differs(m_groupColumn, row, row + 1));
        m_row = row;
        // The last detail takes the footers' room with it, so that a footer never opens a page
        // alone; a header takes its first detail (and so, for a group of one row, the footers
        // too), so that it never ends one alone.
        const int outerClosing = outerLast ? outerFooterHeight : 0;
        const int closing = (last ? footerHeight : 0) + outerClosing;
        const int opening = height(Kind::GroupHeader) + detailHeight + closing;
        if (outerFirst)
            placeBand(Kind::OuterGroupHeader, height(Kind::OuterGroupHeader) + (first ? opening : detailHeight));
        if (first)
            placeBand(Kind::GroupHeader, opening);
        placeBand(Kind::Detail, detailHeight + closing);
        if (last)
            placeBand(Kind::GroupFooter, footerHeight + outerClosing);
        if (outerLast)
            placeBand(Kind::OuterGroupFooter, outerFooterHeight);
    }
    finishPage();

    m_rows = nullptr;
    m_row = -1;
}

void BandedReport::startPage()
{
    m_page = ReportPage();
    m_pageOpen = true;
    m_pageHasBody = false;
    m_y = margin;
    placeBand(ReportSection::Kind::PageHeader, 0);
}

void BandedReport::finishPage()
{
    if (!m_pageOpen)
        return;
    m_y = bodyBottom();
    placeBand(ReportSection::Kind::PageFooter, 0);
    m_document.appendPage(std::move(m_page));
    m_page = ReportPage();
    m_pageOpen = false;
}

void BandedReport::placeBand(ReportSection::Kind kind, int needed)
{
    SectionSlot &s = slot(kind);
    if (!s.present)
        return;
    const bool body = kind != ReportSection::Kind::PageHeader && kind != ReportSection::Kind::PageFooter;
    if (body) {
        if (m_pageHasBody && m_y + needed > bodyBottom()) {
            finishPage();
            startPage();
            if (!m_groupColumn.isEmpty()
                && (kind == ReportSection::Kind::Detail || kind == ReportSection::Kind::GroupFooter
                    || kind == ReportSection::Kind::OuterGroupFooter))
                placeBand(ReportSection::Kind::GroupContinuation, 0);
        }
        m_pageHasBody = true;
    }

    if (s.beforePrint)
        s.beforePrint();

    const QPoint origin(margin, m_y);
    m_page.bands.append({kind, s.section.name, QRect(origin, QSize(reportWidth, s.section.height))});
    for (int index : std::as_const(s.paintOrder)) {
        const ReportItem &item = m_items.at(index);
        PlacedItem placed;
        placed.definition = index;
        placed.rect = item.rect.translated(origin);
        QString text;
        if (item.kind == ReportItem::Kind::Label)
            text = m_captions.value(item.name);
        else if (item.kind == ReportItem::Kind::Field)
            text = formatValue(m_rows && m_row >= 0 ? m_rows->value(m_row, item.column) : QVariant(), item.format);
        if (item.hasText()) {
            // Fitted here, once, so that every output shows the same.
            const FittedText fitted
                = item.visible ? m_fit.fit(text, item.rect.size(), item.textStyle()) : FittedText{item.fontSize, text};
            placed.text = fitted.text;
            placed.fontSize = fitted.fontSize;
        }
        m_page.items.append(std::move(placed));
    }
    m_y += s.section.height;

    if (s.afterPrint)
        s.afterPrint();
}
