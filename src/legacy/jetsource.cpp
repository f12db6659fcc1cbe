#include "jetsource.h"

#include "data/connection.h"
#include "jetvalues.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>

#include <mdbtools.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int pageSize = 4096; // Jet 4 pages
constexpr int offsetMask = 0x1fff; // row offsets carry flags in their top bits
constexpr int memoHeader = 12;

DbError readError(const QString &path, const QString &why)
{
    return {DbErrorNumber::NotADatabase,
        QStringLiteral("No se puede leer la base de datos anterior '%1': %2").arg(QDir::toNativeSeparators(path), why)};
}

DbError damagedRow(const QString &path, const QString &table)
{
    return readError(path, QStringLiteral("una fila de la tabla %1 está dañada.").arg(table));
}

// The bytes of a MEMO value: kept in the row, on one other page, or spread over a chain of pages.
// A damaged length or chain ends the reading: no memo is longer than the file holding it, and
// every page of a chain must add to it.
bool memoBytes(MdbHandle *mdb, const QByteArray &page, int start, int size, qint64 fileSize, QByteArray &bytes)
{
    if (size < memoHeader)
        return false;
    const char *header = page.constData() + start;
    const quint32 lengthAndFlags = quint32(JetValues::int32(header));
    const quint32 length = lengthAndFlags & 0x3fffffff;
    if (lengthAndFlags & 0x80000000) {
        bytes = page.mid(start + memoHeader, size - memoHeader);
        return true;
    }
    if (qint64(length) > fileSize)
        return false;
    qint32 pageRow = JetValues::int32(header + 4);
    const bool singlePage = lengthAndFlags & 0x40000000;
    while (pageRow != 0 && quint32(bytes.size()) < length) {
        void *buffer = nullptr;
        int rowStart = 0;
        size_t rowLength = 0;
        if (mdb_find_pg_row(mdb, pageRow, &buffer, &rowStart, &rowLength) != 0 || rowStart + rowLength > pageSize)
            return false;
        const char *row = static_cast<const char *>(buffer) + rowStart;
        if (singlePage) {
            bytes.append(row, qsizetype(rowLength));
            break;
        }
        if (rowLength <= 4)
            return false;
        pageRow = JetValues::int32(row);
        bytes.append(row + 4, qsizetype(rowLength - 4));
    }
    if (quint32(bytes.size()) > length)
        bytes.truncate(length);
    return true;
}

// libmdb tells what it finds wrong in a file only by printing to stderr. glibc's stderr is a plain
// variable, so while libmdb runs it points at a memory stream and the lines can go into the report.
class LibmdbWarnings
{
public:
    LibmdbWarnings()
    {
        std::fflush(stderr);
        m_saved = stderr;
        m_stream = open_memstream(&m_buffer, &m_size);
        if (m_stream)
            stderr = m_stream;
    }
    ~LibmdbWarnings()
    {
        lines();
        std::free(m_buffer);
    }
    LibmdbWarnings(const LibmdbWarnings &) = delete;
    LibmdbWarnings &operator=(const LibmdbWarnings &) = delete;

    // Ends the capture: the distinct lines in the order written. A damaged page can repeat one
    // warning thousands of times, so only the first few are kept and the rest counted.
    QStringList lines()
    {
        if (!m_stream)
            return m_lines;
        stderr = m_saved;
        std::fclose(m_stream);
        m_stream = nullptr;
        constexpr int kept = 8;
        int others = 0;
        QSet<QString> seen;
        const QStringList written = QString::fromUtf8(m_buffer, qsizetype(m_size)).split(QLatin1Char('\n'));
        for (const QString &line : written) {
            const QString warning = line.trimmed();
            if (warning.isEmpty() || seen.contains(warning))
                continue;
            seen.insert(warning);
            if (m_lines.size() < kept)
                m_lines << warning;
            else
                ++others;
        }
        if (others > 0)
            m_lines << QStringLiteral("(y %1 avisos distintos más)").arg(others);
        return m_lines;
    }

private:
    FILE *m_saved = nullptr;
    FILE *m_stream = nullptr;
    char *m_buffer = nullptr;
    size_t m_size = 0;
    QStringList m_lines;
};

} // namespace

struct JetSource::Handle
{
    MdbHandle *mdb = nullptr;
};

JetSource::JetSource() = default;

JetSource::~JetSource()
{
    close();
}

MaybeError JetSource::open(const QString &path)
{
    close();
    m_path = path;
    switch (Connection::fileKind(path)) {
    case Connection::FileKind::Jet:
        break;
    case Connection::FileKind::Missing:
        return readError(path, QStringLiteral("el archivo no existe."));
    case Connection::FileKind::Unreadable:
        return readError(path, QStringLiteral("no se puede abrir el archivo."));
    case Connection::FileKind::Folder:
        return readError(path, QStringLiteral("es una carpeta."));
    case Connection::FileKind::Special:
        return readError(path, QStringLiteral("no es un archivo común (es una tubería, un dispositivo o un socket)."));
    case Connection::FileKind::SQLite:
        return readError(path, QStringLiteral("ya es una base de datos de Recorvan; no hace falta convertirla."));
    case Connection::FileKind::Empty:
    case Connection::FileKind::Other:
        return readError(path, QStringLiteral("no es una base de datos de Access."));
    }
    // libmdb trusts the file's layout; a cut-off file is refused before it reads past the end.
    const qint64 size = QFileInfo(path).size();
    m_fileSize = size;
    if (size < 2 * qint64(pageSize) || size % pageSize != 0)
        return readError(path, QStringLiteral("el archivo está incompleto o dañado."));

    LibmdbWarnings warnings;
    const auto keepWarnings = qScopeGuard([&] { m_warnings = warnings.lines(); });
    auto handle = std::make_unique<Handle>();
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb)
        return readError(path, QStringLiteral("libmdb no reconoce el archivo."));
    if (handle->mdb->f->jet_version == MDB_VER_JET3 || handle->mdb->fmt->pg_size != pageSize) {
        mdb_close(handle->mdb);
        return readError(path, QStringLiteral("es del formato Jet 3 (Access 97), que no se puede convertir."));
    }
    if (!mdb_read_catalog(handle->mdb, MDB_TABLE)) {
        mdb_close(handle->mdb);
        return readError(path, QStringLiteral("no se puede leer la lista de tablas."));
    }
    m_handle = std::move(handle);
    return std::nullopt;
}

void JetSource::close()
{
    if (m_handle && m_handle->mdb)
        mdb_close(m_handle->mdb);
    m_handle.reset();
    m_warnings.clear();
}

QStringList JetSource::tableNames() const
{
    QStringList names;
    if (!m_handle)
        return names;
    GPtrArray *catalog = m_handle->mdb->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names.append(QString::fromUtf8(entry->object_name));
    }
    return names;
}

MaybeError JetSource::readTable(const QString &name, LegacyTable &table)
{
    table = LegacyTable();
    table.name = name;
    if (!m_handle)
        return readError(m_path, QStringLiteral("el archivo no está abierto."));
    MdbHandle *mdb = m_handle->mdb;
    MdbCatalogEntry *entry = nullptr;
    GPtrArray *catalog = mdb->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto *candidate = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (candidate->object_type == MDB_TABLE
            && QString::fromUtf8(candidate->object_name).compare(name, Qt::CaseInsensitive) == 0) {
            entry = candidate;
            break;
        }
    }
    if (!entry)
        return readError(m_path, QStringLiteral("no tiene la tabla %1.").arg(name));
    LibmdbWarnings warnings;
    const auto keepWarnings = qScopeGuard([&] { table.warnings = warnings.lines(); });
    MdbTableDef *definition = mdb_read_table(entry);
    if (!definition || !mdb_read_columns(definition)) {
        if (definition)
            mdb_free_tabledef(definition);
        return readError(m_path, QStringLiteral("no se pueden leer las columnas de la tabla %1.").arg(name));
    }
    table.declaredRows = definition->num_rows;
    const int columnCount = int(definition->num_cols);
    std::vector<MdbColumn *> columns(size_t(columnCount), nullptr);
    for (int i = 0; i < columnCount; ++i) {
        columns[size_t(i)] = static_cast<MdbColumn *>(g_ptr_array_index(definition->columns, guint(i)));
        table.columns.append(QString::fromUtf8(columns[size_t(i)]->name));
    }

    MaybeError failure;
    std::vector<MdbField> fields(size_t(qMax(columnCount, 1)));
    mdb_rewind_table(definition);
    while (!failure && mdb_fetch_row(definition)) {
        int rowStart = 0;
        size_t rowLength = 0;
        if (mdb_find_row(mdb, int(definition->cur_row) - 1, &rowStart, &rowLength) != 0) {
            failure = damagedRow(m_path, name);
            break;
        }
        rowStart &= offsetMask;
        // The page is copied first: following a memo to other pages must not disturb it.
        const QByteArray page(reinterpret_cast<const char *>(mdb->pg_buf), pageSize);
        if (mdb_crack_row(definition, rowStart, rowLength, fields.data()) < 0) {
            failure = damagedRow(m_path, name);
            break;
        }
        QVariantList row(columnCount);
        bool clean = true;
        for (int i = 0; i < columnCount; ++i) {
            const MdbField &field = fields[size_t(i)];
            if (field.colnum < 0 || field.colnum >= columnCount)
                continue;
            const MdbColumn *column = columns[size_t(field.colnum)];
            QVariant &value = row[field.colnum];
            if (column->col_type == MDB_BOOL) {
                value = !field.is_null; // a yes/no value lives in the null flags
                continue;
            }
            if (field.is_null)
                continue;
            if (field.start < 0 || field.siz < 0 || field.start + field.siz > pageSize) {
                failure = damagedRow(m_path, name);
                break;
            }
            const char *bytes = page.constData() + field.start;
            const auto needs = [&](int size) { return field.siz >= size; };
            switch (column->col_type) {
            case MDB_BYTE:
                if (needs(1))
                    value = int(static_cast<unsigned char>(bytes[0]));
                break;
            case MDB_INT:
                if (needs(2))
                    value = int(JetValues::int16(bytes));
                break;
            case MDB_LONGINT:
                if (needs(4))
                    value = JetValues::int32(bytes);
                break;
            case MDB_FLOAT:
                if (needs(4))
                    value = double(JetValues::float32(bytes));
                break;
            case MDB_DOUBLE:
                if (needs(8))
                    value = JetValues::float64(bytes);
                break;
            case MDB_MONEY:
                if (needs(8))
                    value = double(JetValues::int64(bytes)) / 10000.0;
                break;
            case MDB_DATETIME:
                if (needs(8)) {
                    const double days = JetValues::float64(bytes);
                    const QDateTime when = JetValues::dateTime(days);
                    value = when.isValid() ? QVariant(when) : QVariant(days);
                }
                break;
            case MDB_TEXT:
                value = JetValues::text(QByteArray(bytes, field.siz), &clean);
                break;
            case MDB_MEMO: {
                QByteArray memo;
                if (!memoBytes(mdb, page, field.start, field.siz, m_fileSize, memo)) {
                    clean = false;
                    table.unreadable.append({int(table.rows.size()),
                        QStringLiteral("el texto largo de %1 no se pudo leer entero; quedó lo que se pudo leer")
                            .arg(table.columns.at(field.colnum))});
                }
                value = JetValues::text(memo, &clean);
                break;
            }
            default:
                value = QByteArray(bytes, field.siz);
                break;
            }
        }
        if (!clean && (table.unreadable.isEmpty() || table.unreadable.last().first != table.rows.size()))
            table.unreadable.append(
                {int(table.rows.size()), QStringLiteral("hay caracteres que no se pudieron leer; quedaron como �")});
        table.rows.append(row);
    }
    mdb_free_tabledef(definition);
    return failure;
}
