#pragma once

#include "base/fileidentity.h"
#include "dberror.h"
#include "nativestatement.h"
#include "rowset.h"
#include "transaction.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <unordered_map>

struct sqlite3;

// One named connection to an SQLite file, with the Spanish-aware LIKE and the SPANISH collation
// registered on it. Qt's SQLite driver opens the file (and the report's own connections through
// it share the process's locks); every statement then runs on SQLite's own handle, prepared once
// per text and kept, so that running one shape many times costs no new preparing, and its rows
// come out as the store's own Row. Statements take their values as bound parameters only.
class Connection : public TransactionalStore
{
public:
    // Inspect reads a file without leaving a trace: no journal or shared-memory file is made
    // beside it, and nothing is written back into it.
    enum class Mode { ReadWrite, ReadOnly, Inspect };
    enum class FileKind { Missing, Unreadable, Folder, Special, Empty, SQLite, Jet, Other };

    // What a statement that changes rows did.
    struct Executed
    {
        int rowsAffected = 0;
        QVariant insertedKey; // the rowid of the last row an INSERT added
    };

    explicit Connection(QString name);
    ~Connection() override;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing file; never creates one. The file's kind is looked at only when no
    // connection of this process holds it yet: opening and closing a file that SQLite holds
    // would drop its locks.
    MaybeError open(const QString &path, Mode mode = Mode::ReadWrite);
    // Creates a new, empty database file that only its owner may read or write (mode 600, its
    // log and shared-memory files too); refuses when the path exists.
    MaybeError create(const QString &path);
    void close();
    bool isOpen() const { return m_open; }
    // Write-ahead logging, so that readers (the report's own connection) never block the writer.
    // Set once the file is known to be the program's: a refused file is left as it was.
    MaybeError useWriteAheadLog();
    // Whether the engine can write the file: a read-only or immutable file, or a folder where
    // no journal can be made, is found out here rather than at the first order.
    MaybeError checkWritable();
    // Whether the path still names the file that was opened. A file deleted, moved away or
    // replaced while open takes every later write with it: a confirmation or an import asks
    // first, and the run ends as failed.
    MaybeError checkStillInPlace() const;
    bool inTransaction() const override;
    MaybeError executeStatement(const QString &sql) override { return execute(sql); }
    // The write lock at once, so that no statement inside waits for it halfway.
    QString beginStatement() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString path() const { return m_path; }
    QString name() const { return m_name; }

    MaybeError execute(const QString &sql, const QVariantList &values = {}, Executed *executed = nullptr);
    // The rows of a SELECT, read whole.
    MaybeError select(const QString &sql, const QVariantList &values, RowSet &rows);
    // Streams the rows of a SELECT without holding them all. The handler may run statements of
    // its own, the same text too.
    MaybeError forEachRow(const QString &sql, const QVariantList &values, const std::function<void(const Row &)> &row);

    // SQLite's own handle, for registering functions and asking the transaction state.
    sqlite3 *nativeHandle() const;

    static FileKind fileKind(const QString &path);
    static DbError fileError(FileKind kind, const QString &path);
    static QString connectionString(const QString &path);
    static QString pathFromConnectionString(const QString &connectionString);

private:
    MaybeError openFile(const QString &path, Mode mode);
    // The prepared statement for the text, made on first use; one being read already is left to
    // its reader, and this run gets one of its own in `own`. Null with the error on failure.
    NativeStatement *statement(const QString &sql, std::unique_ptr<NativeStatement> &own, MaybeError &error);
    // The one way a statement runs: bound, stepped to its end (each row to `row`), reset.
    MaybeError run(const QString &sql, const QVariantList &values, const std::function<void(const Row &)> &row,
        Executed *executed = nullptr);

    QString m_name;
    QString m_path;
    QString m_heldPath;
    std::optional<FileIdentity> m_identity;
    bool m_open = false;
    // Qt's handle, held while open; the native statements are finalized before it closes.
    sqlite3 *m_handle = nullptr;
    std::unordered_map<QString, std::unique_ptr<NativeStatement>> m_statements;
    // The same statements found by where their text's characters are, which the key above holds
    // on to: a text kept and run many times (an import's) is found without reading it again.
    struct Known
    {
        qsizetype size = 0;
        NativeStatement *statement = nullptr;
    };
    std::unordered_map<const QChar *, Known> m_byCharacters;
};

// The program's one connection for the run. It is never destroyed: the run closes it, and no
// destructor may reach Qt's connection registry after that has gone at exit.
Connection &acnDataBase();
