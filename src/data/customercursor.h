#pragma once

#include "dberror.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <array>

class Connection;

// The customers in name order, read once into memory, with one current record that the six
// customer fields of the main window show and edit. Edits and new records stay pending in
// the cursor until update() stores them; browsing away throws them away.
//
// Positions: before-first (bof), a record, after-last (eof); an empty cursor is both bof and
// eof. A record started with addNew() is current while pending; throwing it away brings back
// the record (or end) that was current before.
class CustomerCursor : public QObject
{
    Q_OBJECT

public:
    enum class Field { Nombre, Direccion, Ruc, Telefono, Contacto, Email };
    static constexpr int fieldCount = 6;
    enum class EditMode { None, Edited, New };

    struct Record
    {
        QVariant id; // CLIENTES.ID; null for a record not yet stored
        std::array<QString, fieldCount> values; // a null text is an empty column
    };

    // Everything the cursor holds, to put it back when a surrounding transaction is undone.
    struct State
    {
        QList<Record> records;
        int position = 0;
        EditMode mode = EditMode::None;
        Record pending;
        bool open = false;
    };

    explicit CustomerCursor(Connection &connection, QObject *parent = nullptr);

    static QString columnName(Field field);

    // Reads the customers in name order as a Spanish reader sorts them (the SPANISH collation,
    // equal names by ID) and stands on the first record.
    MaybeError open();
    void close();
    bool isOpen() const { return m_open; }

    bool bof() const;
    bool eof() const;
    bool hasCurrent() const { return !bof() && !eof(); }
    // Stored records held, the pending new one not counted.
    int recordCount() const { return int(m_records.size()); }
    // Index of the current stored record; -1 before-first, recordCount() after-last. While a
    // new record is pending: the position that was current before it.
    int position() const { return m_position; }
    EditMode editMode() const { return m_mode; }
    bool hasPendingChanges() const { return m_mode != EditMode::None; }

    // The one way to another record, for browsing and for a customer found by a search: throws
    // away pending changes first, as browsing does, and stands on the stored record at the
    // position (before-first or after-last beyond the ends).
    void moveTo(int position);
    void moveFirst() { moveTo(0); }
    void moveLast() { moveTo(recordCount() - 1); }
    void moveNext() { moveTo(m_position + 1); }
    void movePrevious() { moveTo(m_position - 1); }
    // The position of the stored record with this key (CLIENTES.ID); -1 when none has it.
    int positionOf(const QVariant &id) const;
    // Moves by the given number of records; 0 reads the current record again from the store
    // (nothing to read, and no error, without a current record).
    MaybeError move(int rows);

    // Starts a new, empty record and makes it current. Pending changes of the record that was
    // current are thrown away first, so that a customer is only ever stored by update().
    void addNew();
    // Throws away the pending changes; without any, changes nothing.
    void cancelUpdate();
    // Stores the pending changes: an UPDATE by ID of an edited record, an INSERT of a new one,
    // which then takes its place in name order. Nothing pending: nothing to do.
    MaybeError update();

    // The current record's column as a text; empty without a current record.
    QString value(Field field) const;
    // A typed text becomes a pending change of the current record; false when there is none.
    bool setValue(Field field, const QString &text);

    State saveState() const;
    void restoreState(const State &state);

signals:
    // The current record changed, or its pending changes were thrown away or stored: bound
    // fields show value() again.
    void currentChanged();

private:
    void discardPending();
    int placeInNameOrder(const Record &record) const;

    Connection &m_connection;
    QList<Record> m_records;
    int m_position = 0;
    EditMode m_mode = EditMode::None;
    Record m_pending;
    bool m_open = false;
};
