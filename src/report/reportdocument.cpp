#include "reportdocument.h"

ReportDocument::ReportDocument(QSize pageSize, QList<ReportItem> items)
    : m_pageSize(pageSize)
    , m_items(std::move(items))
{ }

QStringList ReportDocument::texts(int page, const QString &itemName) const
{
    QStringList found;
    if (page < 0 || page >= pageCount())
        return found;
    for (const PlacedItem &placed : m_pages.at(page).items) {
        const ReportItem &definition = item(placed);
        if (definition.visible && definition.hasText() && definition.name == itemName)
            found.append(placed.text);
    }
    return found;
}

QString ReportDocument::text(int page, const QString &itemName) const
{
    const QStringList found = texts(page, itemName);
    return found.isEmpty() ? QString() : found.first();
}

QStringList ReportDocument::texts(int page) const
{
    QStringList found;
    if (page < 0 || page >= pageCount())
        return found;
    for (const PlacedItem &placed : m_pages.at(page).items) {
        const ReportItem &definition = item(placed);
        if (definition.visible && definition.hasText())
            found.append(placed.text);
    }
    return found;
}

QStringList ReportDocument::bandNames(int page) const
{
    QStringList names;
    if (page < 0 || page >= pageCount())
        return names;
    for (const PlacedBand &band : m_pages.at(page).bands)
        names.append(band.name);
    return names;
}

bool ReportDocument::operator==(const ReportDocument &other) const
{
    if (m_pageSize != other.m_pageSize || m_items.size() != other.m_items.size()
        || m_pages.size() != other.m_pages.size())
        return false;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).name != other.m_items.at(i).name)
            return false;
    }
    for (qsizetype p = 0; p < m_pages.size(); ++p) {
        const ReportPage &a = m_pages.at(p);
        const ReportPage &b = other.m_pages.at(p);
        if (a.bands.size() != b.bands.size() || a.items.size() != b.items.size())
            return false;
        for (qsizetype i = 0; i < a.bands.size(); ++i) {
            if (a.bands.at(i).name != b.bands.at(i).name || a.bands.at(i).rect != b.bands.at(i).rect)
                return false;
        }
        for (qsizetype i = 0; i < a.items.size(); ++i) {
            const PlacedItem &x = a.items.at(i);
            const PlacedItem &y = b.items.at(i);
            if (x.definition != y.definition || x.rect != y.rect || x.text != y.text || x.fontSize != y.fontSize)
                return false;
        }
    }
    return true;
}

void ReportDocument::append(const ReportDocument &other)
{
    const int offset = int(m_items.size());
    m_items += other.m_items;
    for (ReportPage page : other.m_pages) {
        for (PlacedItem &item : page.items)
            item.definition += offset;
        m_pages.append(std::move(page));
    }
}
