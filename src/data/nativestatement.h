#pragma once

#include "dberror.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One statement prepared on SQLite's own handle, for Connection alone, which owns it and
// finalizes it before the handle closes. A null value is what Qt's own types call null (a null
// text, date or time binds as NULL), and NULL reads back as a null text.
class NativeStatement
{
public:
    // Null, with the error, when the text does not prepare or holds more than one statement.
    static std::unique_ptr<NativeStatement> prepare(sqlite3 *db, const QString &sql, MaybeError &error);
    ~NativeStatement();
    NativeStatement(const NativeStatement &) = delete;
    NativeStatement &operator=(const NativeStatement &) = delete;

    // The values' texts and bytes are read in place: they must outlive the run, up to reset().
    MaybeError bind(const QVariantList &values);
    // Bound and not reset yet: someone is reading it.
    bool isRunning() const { return m_running; }
    // One step: `row` tells whether it gave a row.
    MaybeError step(bool &row);
    // The current row's column names and values.
    QStringList columnNames() const;
    QVariantList row() const;
    // Ready to run again, holding no lock and no value.
    void reset();

private:
    NativeStatement(sqlite3 *db, sqlite3_stmt *statement);
    DbError error(int code) const;

    sqlite3 *m_db;
    sqlite3_stmt *m_statement;
    bool m_running = false;
};
