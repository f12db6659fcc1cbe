#include "typedcode.h"

#include "data/connection.h"

namespace {

const QString findExact = QStringLiteral("SELECT COD_ART FROM ARTICULOS WHERE COD_ART = ?");
// The Spanish LIKE ignores case (and accents, which the comparison afterwards does not).
const QString findAlike = QStringLiteral(R"(SELECT COD_ART FROM ARTICULOS WHERE TRIM(COD_ART) LIKE ? ESCAPE '\')");

QString likeLiteral(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return escaped;
}

} // namespace

MaybeError TypedCode::resolve(Connection &connection, const QString &typed, Result &result)
{
    result = Result();
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    RowSet rows;
    if (MaybeError error = connection.select(findExact, {typed}, rows))
        return error;
    if (rows.count() > 0) {
        result = {Match::Exact, typed, {}};
        return std::nullopt;
    }
    if (MaybeError error = connection.select(findAlike, {likeLiteral(trimmed)}, rows))
        return error;
    QStringList alike;
    for (int row = 0; row < rows.count(); ++row) {
        const QString code = rows.text(row, QStringLiteral("COD_ART"));
        if (code.trimmed().compare(trimmed, Qt::CaseInsensitive) == 0)
            alike.append(code);
    }
    // Among codes that differ by case, the one written as typed is meant.
    const qsizetype asTyped = alike.indexOf(trimmed);
    if (alike.size() == 1 || asTyped >= 0)
        result = {Match::Adjusted, alike.at(qMax<qsizetype>(asTyped, 0)), {}};
    else if (alike.isEmpty())
        result = {Match::Unknown, typed, {}};
    else
        result = {Match::Several, typed, alike};
    return std::nullopt;
}

QString TypedCode::unknownQuestion(const QString &typed)
{
    return QStringLiteral("El código '%1' no está en el catálogo.\n¿Desea agregar la línea igualmente? No se "
                          "descontará existencia, y el pedido impreso la mostrará sin descripción del catálogo.")
        .arg(typed);
}

QString TypedCode::severalText(const QString &typed, const QStringList &candidates)
{
    return QStringLiteral("El código '%1' puede ser cualquiera de estos del catálogo: %2. Escríbalo tal como figura "
                          "en el catálogo.")
        .arg(typed, candidates.join(QStringLiteral(", ")));
}
