#include "articlebatchwriter.h"

#include "connection.h"
#include "retryframe.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace {

// The same statements as AgregoArticulo and ModificoArticulo, and the existence check.
const char *const lookupSql = "SELECT 1 FROM ARTICULOS WHERE COD_ART = ? LIMIT 1;";
const char *const insertSql = "INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, "
                              "FECHA_ACT) VALUES (?, ?, ?, ?, ?, ?);";
const char *const updateSql = "UPDATE ARTICULOS SET COD_PROPIO = ?, DESCRIPCION = ?, STK_ACTUAL = ?, P_UNITARIO = ?, "
                              "FECHA_ACT = ? WHERE COD_ART = ?;";

// Text is stored as typed: an empty field is an empty text, never a missing value.
void bindText(sqlite3_stmt *statement, int index, const QString &value)
{
    sqlite3_bind_text16(statement, index, value.utf16(), int(value.size() * sizeof(char16_t)), SQLITE_STATIC);
}

// Dates are stored as ISO dates; no date at all as NULL.
void bindDate(sqlite3_stmt *statement, int index, QDate date)
{
    if (!date.isValid()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    const QByteArray iso = date.toString(Qt::ISODate).toLatin1();
    sqlite3_bind_text(statement, index, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
}

} // namespace

ArticleBatchWriter::ArticleBatchWriter(Connection &connection, GivenUp givenUp, int batchSize)
    : m_db(connection.nativeHandle())
    , m_givenUp(std::move(givenUp))
    , m_batchSize(qMax(1, batchSize))
{
    // A failure here comes back with the first article, through the box.
    prepareStatements();
}

ArticleBatchWriter::~ArticleBatchWriter()
{
    finish();
    sqlite3_finalize(m_lookup);
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_update);
}

MaybeError ArticleBatchWriter::error() const
{
    if (!m_db)
        return DbError{DbErrorNumber::Generic, QStringLiteral("La base de datos no está abierta.")};
    return DbError{sqlite3_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db))};
}

MaybeError ArticleBatchWriter::prepareStatements()
{
    if (!m_db)
        return error();
    for (auto [sql, statement] : {std::pair{lookupSql, &m_lookup}, {insertSql, &m_insert}, {updateSql, &m_update}}) {
        if (*statement)
            continue;
        if (sqlite3_prepare_v2(m_db, sql, -1, statement, nullptr) != SQLITE_OK)
            return error();
    }
    return std::nullopt;
}

MaybeError ArticleBatchWriter::exec(const char *sql)
{
    if (!m_db)
        return error();
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return error();
    return std::nullopt;
}

MaybeError ArticleBatchWriter::Busco_Articulo(const QString &codArt, bool &found)
{
    // Statements that could not be prepared before (a locked schema) are tried again.
    if (MaybeError failed = prepareStatements())
        return failed;
    bindText(m_lookup, 1, codArt);
    const int result = sqlite3_step(m_lookup);
    MaybeError failed = result == SQLITE_ROW || result == SQLITE_DONE ? MaybeError() : error();
    found = result == SQLITE_ROW;
    sqlite3_reset(m_lookup);
    sqlite3_clear_bindings(m_lookup);
    return failed;
}

MaybeError ArticleBatchWriter::writeOne(const ArticleRecord &a, Write &write)
{
    bool found = false;
    if (MaybeError failed = Busco_Articulo(a.codArt, found))
        return failed;
    write = found ? Write::Update : Write::Insert;
    sqlite3_stmt *statement = found ? m_update : m_insert;
    const int first = found ? 1 : 2;
    if (found)
        bindText(statement, 6, a.codArt);
    else
        bindText(statement, 1, a.codArt);
    bindText(statement, first, a.codPropio);
    bindText(statement, first + 1, a.descripcion);
    sqlite3_bind_int(statement, first + 2, a.stock);
    sqlite3_bind_double(statement, first + 3, a.pUnitario);
    bindDate(statement, first + 4, a.fecha);
    const int result = sqlite3_step(statement);
    MaybeError failed = result == SQLITE_DONE ? MaybeError() : error();
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return failed;
}

void ArticleBatchWriter::store(const ArticleRecord &article, int tag)
{
    Pending pending{article, tag, Write::Insert};
    if (!m_inTransaction) {
        // Another program holding the file: this article goes alone, through the box.
        if (exec("BEGIN IMMEDIATE")) {
            storeAlone(pending);
            return;
        }
        m_inTransaction = true;
    }
    if (writeOne(article, pending.write)) {
        // Keep what the batch stored, then let the user decide about this article alone.
        if (m_inTransaction && sqlite3_get_autocommit(m_db)) {
            m_inTransaction = false;
            recover();
        } else {
            commitBatch();
        }
        storeAlone(pending);
        return;
    }
    m_pending.append(pending);
    if (m_pending.size() >= m_batchSize)
        commitBatch();
}

void ArticleBatchWriter::finish()
{
    commitBatch();
}

void ArticleBatchWriter::commitBatch()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    if (!exec("COMMIT")) {
        m_pending.clear();
        return;
    }
    if (!sqlite3_get_autocommit(m_db))
        exec("ROLLBACK");
    recover();
}

void ArticleBatchWriter::recover()
{
    const QList<Pending> lost = std::exchange(m_pending, {});
    for (const Pending &pending : lost)
        storeAlone(pending);
}

void ArticleBatchWriter::storeAlone(const Pending &pending)
{
    Write write = pending.write;
    if (!runWithRetry([&] { return writeOne(pending.article, write); }) && m_givenUp)
        m_givenUp(write, pending.tag);
}
