#include "connection.h"

#include "base/privatefiles.h"
#include "unicodelike.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>

#include <sqlite3.h>

namespace {

const QString connectionPrefix = QStringLiteral("Provider=SQLite;Data Source=");

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

// The files some connection of this process holds, and how many connections hold each. On
// POSIX, closing any handle on a file drops every lock the process has on it, so a file held
// here is never opened again by anything but SQLite.
QMutex heldMutex;
QHash<QString, int> heldFiles;

QString heldKey(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

bool isHeld(const QString &key)
{
    QMutexLocker locker(&heldMutex);
    return heldFiles.value(key) > 0;
}

void hold(const QString &key)
{
    QMutexLocker locker(&heldMutex);
    ++heldFiles[key];
}

void release(const QString &key)
{
    QMutexLocker locker(&heldMutex);
    if (--heldFiles[key] <= 0)
        heldFiles.remove(key);
}

// What the driver says when it cannot open the file.
DbError errorOf(const QSqlError &error)
{
    bool ok = false;
    int number = error.nativeErrorCode().toInt(&ok);
    if (!ok || number == 0)
        number = DbErrorNumber::Generic;
    const QString description = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return engineError(number, description);
}

DbError notOpen()
{
    return {DbErrorNumber::Generic, QStringLiteral("La base de datos no está abierta.")};
}

} // namespace

Connection::Connection(QString name)
    : m_name(std::move(name))
{ }

Connection::~Connection()
{
    close();
}

Connection::FileKind Connection::fileKind(const QString &path)
{
    // The kind comes from the file system first: a pipe or a device is never read, since
    // reading one can wait forever.
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Folder;
    if (!info.isFile())
        return FileKind::Special;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Unreadable;
    const QByteArray head = file.read(32);
    if (head.isEmpty())
        return FileKind::Empty;
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return FileKind::SQLite;
    if (head.mid(4).startsWith("Standard Jet DB") || head.mid(4).startsWith("Standard ACE DB"))
        return FileKind::Jet;
    return FileKind::Other;
}

DbError Connection::fileError(FileKind kind, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (kind) {
    case FileKind::Missing:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("No se encuentra el archivo de base de datos '%1'.").arg(shown)};
    case FileKind::Unreadable:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("No se puede leer el archivo de base de datos '%1'.").arg(shown)};
    case FileKind::Folder:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("'%1' es una carpeta, no un archivo de base de datos.").arg(shown)};
    case FileKind::Special:
        return {DbErrorNumber::CantOpen,
            QStringLiteral("'%1' no es un archivo común (es una tubería, un dispositivo o un socket), "
                           "no una base de datos.")
                .arg(shown)};
    case FileKind::Jet:
        return {DbErrorNumber::NotADatabase,
            QStringLiteral("'%1' es una base de datos de Access del programa anterior; "
                           "hay que convertirla antes de usarla.")
                .arg(shown)};
    case FileKind::Empty:
    case FileKind::Other:
        return {DbErrorNumber::NotADatabase, QStringLiteral("'%1' no es una base de datos de Recorvan.").arg(shown)};
    case FileKind::SQLite:
        break;
    }
    return {DbErrorNumber::Generic, QString()};
}

QString Connection::connectionString(const QString &path)
{
    return connectionPrefix + path;
}

QString Connection::pathFromConnectionString(const QString &connectionString)
{
    if (!connectionString.startsWith(connectionPrefix))
        return {};
    return connectionString.mid(connectionPrefix.size());
}

MaybeError Connection::open(const QString &path, Mode mode)
{
    close();
    if (isHeld(heldKey(path))) {
        if (!QFileInfo(path).isFile())
            return fileError(FileKind::Missing, path);
        return openFile(path, mode);
    }
    const FileKind kind = fileKind(path);
    if (kind != FileKind::SQLite)
        return fileError(kind, path);
    return openFile(path, mode);
}

MaybeError Connection::create(const QString &path)
{
    close();
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return DbError::notOverwritten(path);
    // The file is made first, readable by its owner alone; SQLite gives its log the same mode.
    if (std::optional<QString> why = PrivateFiles::createFile(path))
        return DbError{DbErrorNumber::CantOpen,
            QStringLiteral("No se puede crear '%1': %2.").arg(QDir::toNativeSeparators(path), *why)};
    MaybeError error = openFile(path, Mode::ReadWrite);
    if (error)
        QFile::remove(path);
    return error;
}

MaybeError Connection::openFile(const QString &path, Mode mode)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    // A short wait for a lock another program holds; past it the user is asked to retry.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=100");
    if (mode != Mode::ReadWrite)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    // With no log beside it, the file holds everything and can be read as it stands; with one,
    // someone has it open and the files already there are read, and left, as they are.
    if (mode == Mode::Inspect && !QFileInfo::exists(path + QStringLiteral("-wal"))) {
        QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        uri.setQuery(QStringLiteral("immutable=1"));
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        options += QStringLiteral(";QSQLITE_OPEN_URI");
    }
    db.setConnectOptions(options);
    if (!db.open()) {
        const DbError error = errorOf(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return error;
    }
    m_open = true;
    m_path = path;
    m_identity = FileIdentity::of(path);
    m_heldPath = heldKey(path);
    hold(m_heldPath);

    m_handle = handleOf(db);
    if (!m_handle || !registerUnicodeLike(m_handle) || !registerSpanishCollation(m_handle)) {
        close();
        return DbError{DbErrorNumber::Generic, QStringLiteral("No se pudo preparar la búsqueda y el orden de textos.")};
    }
    return std::nullopt;
}

MaybeError Connection::useWriteAheadLog()
{
    return execute(QStringLiteral("PRAGMA journal_mode=WAL"));
}

MaybeError Connection::checkWritable()
{
    sqlite3 *handle = nativeHandle();
    if (!handle)
        return notOpen();
    const QFileInfo file(m_path);
    const QString shown = QDir::toNativeSeparators(m_path);
    auto refuse = [&](const QString &why) {
        return DbError{DbErrorNumber::ReadOnly,
            QStringLiteral("No se puede escribir en la base de datos '%1': %2. Sin poder escribir no se pueden "
                           "guardar pedidos.")
                .arg(shown, why)};
    };
    auto reason = [&](const QString &engine) {
        if (!file.isWritable())
            return QStringLiteral("el archivo es de solo lectura");
        if (!QFileInfo(file.absolutePath()).isWritable())
            return QStringLiteral("la carpeta '%1' no permite crear archivos")
                .arg(QDir::toNativeSeparators(file.absolutePath()));
        return QStringLiteral("el sistema no permite modificar el archivo (%1)").arg(engine);
    };
    if (sqlite3_db_readonly(handle, "main") == 1)
        return refuse(reason(QStringLiteral("abierto solo para lectura")));
    // A write that is undone at once: it needs everything a real order needs (the write lock,
    // a journal beside the file, a file the system lets change), and leaves the file as it was.
    RowSet version;
    if (MaybeError error = select(QStringLiteral("PRAGMA user_version"), {}, version))
        return error;
    const int userVersion = version.value(0, QStringLiteral("user_version")).toInt();
    if (MaybeError error = execute(QStringLiteral("BEGIN IMMEDIATE")))
        return refuse(reason(error->description));
    MaybeError written = execute(QStringLiteral("PRAGMA user_version = %1").arg(userVersion));
    // Nothing may go on inside a transaction that was never closed.
    if (MaybeError undone = execute(QStringLiteral("ROLLBACK")))
        return undone;
    if (written)
        return refuse(reason(written->description));
    return std::nullopt;
}

void Connection::close()
{
    if (!m_open)
        return;
    m_byCharacters.clear();
    m_statements.clear();
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    release(m_heldPath);
    m_heldPath.clear();
    m_path.clear();
    m_identity.reset();
    m_open = false;
}

MaybeError Connection::checkStillInPlace() const
{
    if (!m_open)
        return notOpen();
    const std::optional<FileIdentity> now = FileIdentity::of(m_path);
    if (m_identity && now && now->sameFile(*m_identity))
        return std::nullopt;
    return DbError{DbErrorNumber::CantOpen,
        QStringLiteral("La base de datos '%1' ya no está en su lugar: se borró, se movió o se reemplazó mientras el "
                       "programa la tenía abierta. No se guardó nada. Cierre el programa y vuelva a colocar la base "
                       "de datos en su carpeta.")
            .arg(QDir::toNativeSeparators(m_path))};
}

bool Connection::inTransaction() const
{
    sqlite3 *handle = nativeHandle();
    return handle && sqlite3_get_autocommit(handle) == 0;
}

sqlite3 *Connection::nativeHandle() const
{
    return m_open ? m_handle : nullptr;
}

NativeStatement *Connection::statement(const QString &sql, std::unique_ptr<NativeStatement> &own, MaybeError &error)
{
    NativeStatement *known = nullptr;
    if (const auto at = m_byCharacters.find(sql.constData());
        at != m_byCharacters.end() && at->second.size == sql.size()) {
        known = at->second.statement;
    } else if (const auto found = m_statements.find(sql); found != m_statements.end()) {
        // The same text in characters of its own: the kept key's are known already.
        known = found->second.get();
    }
    if (known && !known->isRunning())
        return known;
    std::unique_ptr<NativeStatement> prepared = NativeStatement::prepare(m_handle, sql, error);
    if (!prepared)
        return nullptr;
    if (known) {
        own = std::move(prepared);
        return own.get();
    }
    const auto added = m_statements.emplace(sql, std::move(prepared)).first;
    m_byCharacters[added->first.constData()] = {added->first.size(), added->second.get()};
    return added->second.get();
}

MaybeError Connection::run(
    const QString &sql, const QVariantList &values, const std::function<void(const Row &)> &row, Executed *executed)
{
    if (!m_open)
        return notOpen();
    MaybeError error;
    std::unique_ptr<NativeStatement> own;
    NativeStatement *statement = this->statement(sql, own, error);
    if (!statement)
        return error;
    QStringList columns;
    bool stepped = false;
    error = statement->bind(values);
    if (!error)
        error = statement->step(stepped);
    if (!error && stepped && row)
        columns = statement->columnNames();
    while (!error && stepped && row) {
        const QVariantList values = statement->row();
        row(Row(columns, values));
        error = statement->step(stepped);
    }
    if (!error && executed) {
        executed->rowsAffected = sqlite3_changes(m_handle);
        const qint64 key = sqlite3_last_insert_rowid(m_handle);
        executed->insertedKey = key ? QVariant(key) : QVariant();
    }
    // A finished statement holds no read lock and keeps no snapshot of the file.
    statement->reset();
    return error;
}

MaybeError Connection::execute(const QString &sql, const QVariantList &values, Executed *executed)
{
    return run(sql, values, {}, executed);
}

MaybeError Connection::forEachRow(
    const QString &sql, const QVariantList &values, const std::function<void(const Row &)> &row)
{
    return run(sql, values, row);
}

MaybeError Connection::select(const QString &sql, const QVariantList &values, RowSet &rows)
{
    QStringList columns;
    QList<QVariantList> read;
    if (MaybeError error = run(sql, values, [&](const Row &row) {
            if (columns.isEmpty())
                columns = row.columns();
            read.append(row.values());
        }))
        return error;
    rows = RowSet(std::move(columns), std::move(read));
    return std::nullopt;
}

Connection &acnDataBase()
{
    static auto *connection = new Connection(QStringLiteral("acnDataBase"));
    return *connection;
}
