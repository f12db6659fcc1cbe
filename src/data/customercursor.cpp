#include "customercursor.h"

#include "connection.h"
#include "rowset.h"
#include "tables.h"
#include "unicodelike.h"

namespace {

// Equal names by their key, so that the order is the same at every opening.
const QString &selectCustomers()
{
    static const QString sql = Tables::clientes().selectStatement({}, QStringLiteral("NOMBRE collate SPANISH, ID"));
    return sql;
}

const std::array<QString, CustomerCursor::fieldCount> columns = {QStringLiteral("NOMBRE"), QStringLiteral("DIRECCION"),
    QStringLiteral("RUC"), QStringLiteral("TELEFONO"), QStringLiteral("CONTACTO"), QStringLiteral("EMAIL")};

QStringList fieldColumns()
{
    return QStringList(columns.cbegin(), columns.cend());
}

const QString &selectCustomer()
{
    static const QString sql = Tables::clientes().selectStatement({QStringLiteral("ID")});
    return sql;
}

const QString &updateCustomer()
{
    static const QString sql = Tables::clientes().updateStatement(fieldColumns(), {QStringLiteral("ID")});
    return sql;
}

const QString &insertCustomer()
{
    static const QString sql = Tables::clientes().insertStatement(fieldColumns());
    return sql;
}

// Ordered as the store orders selectCustomers: no name first, then the names by the SPANISH
// collation, equal names by their key.
bool before(const CustomerCursor::Record &a, const CustomerCursor::Record &b)
{
    const QString &nameA = a.values[0];
    const QString &nameB = b.values[0];
    if (nameA.isNull() != nameB.isNull())
        return nameA.isNull();
    const int byName = spanishCompare(nameA.toUtf8(), nameB.toUtf8());
    if (byName != 0)
        return byName < 0;
    if (a.id.isNull() || b.id.isNull())
        return !a.id.isNull();
    return a.id.toLongLong() < b.id.toLongLong();
}

QVariantList boundValues(const CustomerCursor::Record &record)
{
    QVariantList values;
    for (const QString &value : record.values)
        values.append(value);
    return values;
}

DbError noCurrentRecord()
{
    return {DbErrorNumber::NoRowChanged, QStringLiteral("El cliente ya no está guardado en la base de datos.")};
}

} // namespace

CustomerCursor::CustomerCursor(Connection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{ }

QString CustomerCursor::columnName(Field field)
{
    return columns[size_t(field)];
}

MaybeError CustomerCursor::open()
{
    RowSet rows;
    if (MaybeError error = m_connection.select(selectCustomers(), {}, rows))
        return error;
    QList<Record> records;
    records.reserve(rows.count());
    for (int row = 0; row < rows.count(); ++row) {
        Record record;
        record.id = rows.value(row, QStringLiteral("ID"));
        for (int i = 0; i < fieldCount; ++i)
            record.values[size_t(i)] = rows.text(row, columns[size_t(i)]);
        records.append(std::move(record));
    }
    m_records = std::move(records);
    m_mode = EditMode::None;
    m_pending = {};
    m_position = 0;
    m_open = true;
    emit currentChanged();
    return std::nullopt;
}

void CustomerCursor::close()
{
    m_records.clear();
    m_mode = EditMode::None;
    m_pending = {};
    m_position = 0;
    m_open = false;
    emit currentChanged();
}

bool CustomerCursor::bof() const
{
    if (m_mode == EditMode::New)
        return false;
    return m_position < 0 || m_records.isEmpty();
}

bool CustomerCursor::eof() const
{
    if (m_mode == EditMode::New)
        return false;
    return m_position >= m_records.size() || m_records.isEmpty();
}

void CustomerCursor::discardPending()
{
    m_mode = EditMode::None;
    m_pending = {};
}

void CustomerCursor::moveTo(int position)
{
    discardPending();
    m_position = std::clamp(position, -1, int(m_records.size()));
    emit currentChanged();
}

int CustomerCursor::positionOf(const QVariant &id) const
{
    if (id.isNull())
        return -1;
    const qint64 key = id.toLongLong();
    for (int position = 0; position < m_records.size(); ++position) {
        const QVariant &stored = m_records.at(position).id;
        if (!stored.isNull() && stored.toLongLong() == key)
            return position;
    }
    return -1;
}

MaybeError CustomerCursor::move(int rows)
{
    if (rows != 0) {
        moveTo(m_position + rows);
        return std::nullopt;
    }
    // Without a current record there is nothing to read, and what the fields show stays.
    if (!hasCurrent())
        return std::nullopt;
    discardPending();
    Record &record = m_records[m_position];
    if (record.id.isNull())
        return noCurrentRecord();
    RowSet stored;
    if (MaybeError error = m_connection.select(selectCustomer(), {record.id}, stored))
        return error;
    if (stored.count() == 0)
        return noCurrentRecord();
    for (int i = 0; i < fieldCount; ++i)
        record.values[size_t(i)] = stored.text(0, columns[size_t(i)]);
    emit currentChanged();
    return std::nullopt;
}

void CustomerCursor::addNew()
{
    discardPending();
    m_mode = EditMode::New;
    for (QString &value : m_pending.values)
        value = QString(QLatin1String(""));
    emit currentChanged();
}

void CustomerCursor::cancelUpdate()
{
    if (m_mode == EditMode::None)
        return;
    discardPending();
    emit currentChanged();
}

int CustomerCursor::placeInNameOrder(const Record &record) const
{
    const auto at = std::upper_bound(m_records.cbegin(), m_records.cend(), record, before);
    return int(at - m_records.cbegin());
}

MaybeError CustomerCursor::update()
{
    if (m_mode == EditMode::None)
        return std::nullopt;

    Record stored = m_pending;
    if (m_mode == EditMode::Edited) {
        if (stored.id.isNull())
            return noCurrentRecord();
        QVariantList values = boundValues(stored);
        values.append(stored.id);
        Connection::Executed executed;
        if (MaybeError error = m_connection.execute(updateCustomer(), values, &executed))
            return error;
        if (executed.rowsAffected == 0)
            return noCurrentRecord();
        m_records.removeAt(m_position);
    } else {
        Connection::Executed executed;
        if (MaybeError error = m_connection.execute(insertCustomer(), boundValues(stored), &executed))
            return error;
        stored.id = executed.insertedKey;
    }
    // A renamed or new customer takes its place in name order at once.
    m_position = placeInNameOrder(stored);
    m_records.insert(m_position, std::move(stored));
    discardPending();
    emit currentChanged();
    return std::nullopt;
}

QString CustomerCursor::value(Field field) const
{
    if (m_mode != EditMode::None)
        return m_pending.values[size_t(field)];
    if (!hasCurrent())
        return {};
    return m_records.at(m_position).values[size_t(field)];
}

bool CustomerCursor::setValue(Field field, const QString &text)
{
    if (m_mode == EditMode::None) {
        if (!hasCurrent())
            return false;
        m_pending = m_records.at(m_position);
        m_mode = EditMode::Edited;
    }
    // What is typed is a text, even an empty one; only untouched empty columns stay empty.
    m_pending.values[size_t(field)] = text.isNull() ? QString(QLatin1String("")) : text;
    return true;
}

CustomerCursor::State CustomerCursor::saveState() const
{
    return {m_records, m_position, m_mode, m_pending, m_open};
}

void CustomerCursor::restoreState(const State &state)
{
    m_records = state.records;
    m_position = state.position;
    m_mode = state.mode;
    m_pending = state.pending;
    m_open = state.open;
    emit currentChanged();
}
