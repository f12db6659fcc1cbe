#include "listformat.h"

#include "connection.h"
#include "tables.h"
#include "transaction.h"

namespace {

const QString deleteRow = QStringLiteral("DELETE FROM FORMATO_LISTA");

} // namespace

ListFormat::ListFormat(QString code, Regional::Settings settings)
    : m_code(std::move(code))
    , m_settings(std::move(settings))
{ }

ListFormat ListFormat::es()
{
    return {QStringLiteral("es"), Regional::commaDayFirst()};
}

ListFormat ListFormat::en()
{
    return {QStringLiteral("en"), Regional::pointMonthFirst()};
}

QList<ListFormat> ListFormat::all()
{
    return {es(), en()};
}

std::optional<ListFormat> ListFormat::fromCode(const QString &code)
{
    for (const ListFormat &format : all()) {
        if (format.code() == code.trimmed().toLower())
            return format;
    }
    return std::nullopt;
}

QString ListFormat::description() const
{
    const bool comma = m_settings.decimalPoint == QLatin1Char(',');
    const bool dayFirst = m_settings.shortDateFormat.startsWith(QLatin1Char('d'));
    // The examples are written by the format's own rules.
    const QString example = QStringLiteral("1") + m_settings.groupSeparator + QStringLiteral("234")
        + m_settings.decimalPoint + QStringLiteral("50");
    return QStringLiteral("%1 decimal, %2 de miles y fechas %3 (%4 y %5)")
        .arg(comma ? QStringLiteral("coma") : QStringLiteral("punto"),
            comma ? QStringLiteral("punto") : QStringLiteral("coma"),
            dayFirst ? QStringLiteral("día/mes/año") : QStringLiteral("mes/día/año"), example,
            QDate(2004, 8, 20).toString(m_settings.shortDateFormat));
}

MaybeError ListFormat::read(Connection &connection, ListFormat &format)
{
    RowSet rows;
    if (MaybeError error = connection.select(Tables::formatoLista().selectStatement(), {}, rows))
        return error;
    format = es();
    if (rows.count() == 0)
        return std::nullopt;
    const QString stored = rows.text(0, QStringLiteral("FORMATO"));
    const std::optional<ListFormat> known = fromCode(stored);
    if (!known)
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("El formato de la lista de artículos guardado ('%1') no se conoce.").arg(stored)};
    format = *known;
    return std::nullopt;
}

MaybeError ListFormat::write(Connection &connection, const ListFormat &format)
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    if (MaybeError error = connection.execute(deleteRow))
        return error;
    if (MaybeError error = connection.execute(Tables::formatoLista().insertStatement(), {format.code()}))
        return error;
    return transaction.commit();
}
