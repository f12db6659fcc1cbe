#pragma once

#include "dberror.h"
#include "rowset.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>

struct sqlite3;

// One named connection to an SQLite file, with the Spanish-aware LIKE and the SPANISH collation
// registered on it.
// Statements take their values as bound parameters only.
class Connection
{
public:
    enum class Mode { ReadWrite, ReadOnly };
    enum class FileKind { Missing, Unreadable, Folder, Empty, SQLite, Jet, Other };

    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing file; never creates one.
    MaybeError open(const QString &path, Mode mode = Mode::ReadWrite);
    // Creates a new, empty database file; refuses when the path exists.
    MaybeError create(const QString &path);
    void close();
    bool isOpen() const;
    // True while a transaction is open in the engine; some failures end one on their own.
    bool inTransaction() const;
    QString path() const { return m_path; }
    QString name() const { return m_name; }

    MaybeError execute(const QString &sql, const QVariantList &values = {}, int *rowsAffected = nullptr);
    MaybeError select(const QString &sql, const QVariantList &values, RowSet &rows);
    // Streams the rows of a SELECT without holding them all.
    MaybeError forEachRow(
        const QString &sql, const QVariantList &values, const std::function<void(const QSqlQuery &)> &row);
    // A prepared statement for callers that run one shape many times.
    MaybeError prepare(QSqlQuery &query, const QString &sql);
    static MaybeError run(QSqlQuery &query, const QVariantList &values);

    QSqlDatabase database() const;
    // SQLite's own handle, for the few places that need its C interface; null when closed.
    sqlite3 *nativeHandle() const;

    static FileKind fileKind(const QString &path);
    static QString connectionString(const QString &path);
    static QString pathFromConnectionString(const QString &connectionString);
    static DbError errorOf(const class QSqlError &error);

private:
    MaybeError openFile(const QString &path, Mode mode);

    QString m_name;
    QString m_path;
};

// The program's one connection for the run.
Connection &acnDataBase();
