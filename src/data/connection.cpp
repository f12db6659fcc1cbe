#include "connection.h"

#include "unicodelike.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

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

DbError fileError(Connection::FileKind kind, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (kind) {
    case Connection::FileKind::Missing:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("No se encuentra el archivo de base de datos '%1'.").arg(shown)};
    case Connection::FileKind::Unreadable:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("No se puede leer el archivo de base de datos '%1'.").arg(shown)};
    case Connection::FileKind::Folder:
        return {
            DbErrorNumber::CantOpen, QStringLiteral("'%1' es una carpeta, no un archivo de base de datos.").arg(shown)};
    case Connection::FileKind::Jet:
        return {DbErrorNumber::NotADatabase,
            QStringLiteral("'%1' es una base de datos de Access del programa anterior; "
                           "hay que convertirla antes de usarla.")
                .arg(shown)};
    case Connection::FileKind::Empty:
    case Connection::FileKind::Other:
        return {DbErrorNumber::NotADatabase, QStringLiteral("'%1' no es una base de datos de Recorvan.").arg(shown)};
    case Connection::FileKind::SQLite:
        break;
    }
    return {DbErrorNumber::Generic, QString()};
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
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Folder;
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

DbError Connection::errorOf(const QSqlError &error)
{
    bool ok = false;
    int number = error.nativeErrorCode().toInt(&ok);
    if (!ok || number == 0)
        number = DbErrorNumber::Generic;
    const QString description = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return {number, description};
}

MaybeError Connection::open(const QString &path, Mode mode)
{
    close();
    const FileKind kind = fileKind(path);
    if (kind != FileKind::SQLite)
        return fileError(kind, path);
    return openFile(path, mode);
}

MaybeError Connection::create(const QString &path)
{
    close();
    if (QFileInfo::exists(path))
        return DbError{DbErrorNumber::CantOpen,
            QStringLiteral("'%1' ya existe; no se sobrescribe.").arg(QDir::toNativeSeparators(path))};
    return openFile(path, Mode::ReadWrite);
}

MaybeError Connection::openFile(const QString &path, Mode mode)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    // A short wait for a lock another program holds; past it the user is asked to retry.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=100");
    if (mode == Mode::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const DbError error = errorOf(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return error;
    }
    m_path = path;

    sqlite3 *handle = handleOf(db);
    if (!handle || !registerUnicodeLike(handle) || !registerSpanishCollation(handle)) {
        close();
        return DbError{DbErrorNumber::Generic, QStringLiteral("No se pudo preparar la búsqueda y el orden de textos.")};
    }
    if (mode == Mode::ReadWrite) {
        // WAL keeps readers (the report's own connection) from blocking the writer.
        // A folder where the journal cannot be written keeps the file's own mode.
        QSqlQuery(QStringLiteral("PRAGMA journal_mode=WAL"), db);
    }
    return std::nullopt;
}

void Connection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_path.clear();
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

bool Connection::inTransaction() const
{
    sqlite3 *handle = nativeHandle();
    return handle && sqlite3_get_autocommit(handle) == 0;
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

sqlite3 *Connection::nativeHandle() const
{
    return isOpen() ? handleOf(database()) : nullptr;
}

MaybeError Connection::prepare(QSqlQuery &query, const QString &sql)
{
    query = QSqlQuery(database());
    if (!query.prepare(sql))
        return errorOf(query.lastError());
    return std::nullopt;
}

MaybeError Connection::run(QSqlQuery &query, const QVariantList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    if (!query.exec())
        return errorOf(query.lastError());
    return std::nullopt;
}

MaybeError Connection::execute(const QString &sql, const QVariantList &values, int *rowsAffected)
{
    if (!isOpen())
        return DbError{DbErrorNumber::Generic, QStringLiteral("La base de datos no está abierta.")};
    QSqlQuery query(database());
    if (!query.prepare(sql))
        return errorOf(query.lastError());
    if (MaybeError error = run(query, values))
        return error;
    if (rowsAffected)
        *rowsAffected = query.numRowsAffected();
    return std::nullopt;
}

MaybeError Connection::forEachRow(
    const QString &sql, const QVariantList &values, const std::function<void(const QSqlQuery &)> &row)
{
    if (!isOpen())
        return DbError{DbErrorNumber::Generic, QStringLiteral("La base de datos no está abierta.")};
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return errorOf(query.lastError());
    if (MaybeError error = run(query, values))
        return error;
    while (query.next())
        row(query);
    if (query.lastError().isValid())
        return errorOf(query.lastError());
    return std::nullopt;
}

MaybeError Connection::select(const QString &sql, const QVariantList &values, RowSet &rows)
{
    QStringList columns;
    QList<QVariantList> read;
    int width = -1;
    const MaybeError error = forEachRow(sql, values, [&](const QSqlQuery &query) {
        if (width < 0) {
            const QSqlRecord record = query.record();
            width = record.count();
            for (int i = 0; i < width; ++i)
                columns.append(record.fieldName(i));
        }
        QVariantList values;
        values.reserve(width);
        for (int i = 0; i < width; ++i)
            values.append(query.value(i));
        read.append(std::move(values));
    });
    if (error)
        return error;
    rows = RowSet(std::move(columns), std::move(read));
    return std::nullopt;
}

Connection &acnDataBase()
{
    static Connection connection(QStringLiteral("acnDataBase"));
    return connection;
}
