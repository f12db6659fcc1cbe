#include "nativestatement.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

namespace {

// A null value as Qt's drivers see one: no value at all, or a null text, bytes, date or time.
bool isNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDateTime:
        return !static_cast<const QDateTime *>(value.constData())->isValid();
    case QMetaType::QDate:
        return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime:
        return !static_cast<const QTime *>(value.constData())->isValid();
    default:
        return false;
    }
}

// A text made for the binding is copied; a text the caller holds is read in place, as it stays
// until the statement is reset.
int bindText(sqlite3_stmt *statement, int index, const QString &text, bool held = false)
{
    return sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * qsizetype(sizeof(char16_t))),
        held ? SQLITE_STATIC : SQLITE_TRANSIENT);
}

int bindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (isNullValue(value))
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob(statement, index, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, index, value.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::QDateTime:
        return bindText(statement, index, value.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime:
        return bindText(statement, index, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    case QMetaType::QString:
        return bindText(statement, index, *static_cast<const QString *>(value.constData()), true);
    default:
        return bindText(statement, index, value.toString());
    }
}

QString textOf(const void *units, int bytes)
{
    return QString(static_cast<const QChar *>(units), bytes / int(sizeof(QChar)));
}

} // namespace

NativeStatement::NativeStatement(sqlite3 *db, sqlite3_stmt *statement)
    : m_db(db)
    , m_statement(statement)
{ }

NativeStatement::~NativeStatement()
{
    sqlite3_finalize(m_statement);
}

std::unique_ptr<NativeStatement> NativeStatement::prepare(sqlite3 *db, const QString &sql, MaybeError &error)
{
    sqlite3_stmt *statement = nullptr;
    const void *tail = nullptr;
    const int code
        = sqlite3_prepare16_v2(db, sql.utf16(), int((sql.size() + 1) * qsizetype(sizeof(char16_t))), &statement, &tail);
    if (code != SQLITE_OK) {
        error = engineError(code, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(statement);
        return nullptr;
    }
    const QString rest = tail ? QString(static_cast<const QChar *>(tail)).trimmed() : QString();
    if (!statement || !rest.isEmpty()) {
        error = DbError{DbErrorNumber::Generic,
            statement ? QStringLiteral("Solo se puede ejecutar una instrucción a la vez: %1").arg(sql)
                      : QStringLiteral("La instrucción está vacía.")};
        sqlite3_finalize(statement);
        return nullptr;
    }
    return std::unique_ptr<NativeStatement>(new NativeStatement(db, statement));
}

DbError NativeStatement::error(int code) const
{
    return engineError(code, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

MaybeError NativeStatement::bind(const QVariantList &values)
{
    if (sqlite3_bind_parameter_count(m_statement) != values.size())
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La instrucción espera %1 valores y recibió %2.")
                .arg(sqlite3_bind_parameter_count(m_statement))
                .arg(values.size())};
    m_running = true;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (const int code = bindValue(m_statement, int(i + 1), values.at(i)); code != SQLITE_OK)
            return error(code);
    }
    return std::nullopt;
}

MaybeError NativeStatement::step(bool &row)
{
    const int code = sqlite3_step(m_statement);
    row = code == SQLITE_ROW;
    if (code == SQLITE_ROW || code == SQLITE_DONE)
        return std::nullopt;
    // The message is the statement's own once it is reset.
    sqlite3_reset(m_statement);
    return error(code);
}

QStringList NativeStatement::columnNames() const
{
    QStringList names;
    const int count = sqlite3_column_count(m_statement);
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(QString::fromUtf8(sqlite3_column_name(m_statement, i)).remove(QLatin1Char('"')));
    return names;
}

QVariantList NativeStatement::row() const
{
    const int count = sqlite3_column_count(m_statement);
    QVariantList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i) {
        switch (sqlite3_column_type(m_statement, i)) {
        case SQLITE_INTEGER:
            values.append(qint64(sqlite3_column_int64(m_statement, i)));
            break;
        case SQLITE_FLOAT:
            values.append(sqlite3_column_double(m_statement, i));
            break;
        case SQLITE_NULL:
            values.append(QVariant(QMetaType::fromType<QString>()));
            break;
        case SQLITE_BLOB: {
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, i));
            values.append(QByteArray(bytes, sqlite3_column_bytes(m_statement, i)));
            break;
        }
        default: {
            const void *units = sqlite3_column_text16(m_statement, i);
            values.append(textOf(units, sqlite3_column_bytes16(m_statement, i)));
            break;
        }
        }
    }
    return values;
}

void NativeStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_running = false;
}
