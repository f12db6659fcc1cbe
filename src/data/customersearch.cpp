#include "customersearch.h"

#include "connection.h"
#include "rowset.h"

#include <QRegularExpression>

namespace {

// Every word must stand in one of the searched columns; the word is bound once and used by all.
QString wordCondition(int parameter)
{
    const QString like = QStringLiteral(" like ?%1 escape '\\'").arg(parameter);
    return QStringLiteral("(NOMBRE") + like + QStringLiteral(" or RUC") + like + QStringLiteral(" or CONTACTO") + like
        + QStringLiteral(" or TELEFONO") + like + QStringLiteral(" or EMAIL") + like + QLatin1Char(')');
}

// The statement for a number of words; its text depends on nothing else, so the connection
// prepares each shape once. The matches' keys and names are gathered once (materialized): the
// count of them all comes from there, and only a screenful is sorted by name and read whole. A
// window count over the matches would hold every matching row and sort them all.
QString statement(int wordCount)
{
    QString sql = QStringLiteral("with FOUND as materialized (select ID, NOMBRE from CLIENTES");
    for (int word = 1; word <= wordCount; ++word)
        sql += (word == 1 ? QStringLiteral(" where ") : QStringLiteral(" and ")) + wordCondition(word);
    sql += QStringLiteral(
        ") select C.ID as ID, C.NOMBRE as NOMBRE, C.RUC as RUC, C.CONTACTO as CONTACTO, C.TELEFONO as TELEFONO, "
        "(select count(*) from FOUND) as TOTAL "
        "from (select ID, NOMBRE from FOUND order by NOMBRE collate SPANISH, ID limit ?%1) as SHOWN "
        "join CLIENTES as C on C.ID = SHOWN.ID order by SHOWN.NOMBRE collate SPANISH, SHOWN.ID;")
               .arg(wordCount + 1);
    return sql;
}

} // namespace

QStringList CustomerSearch::words(const QString &typed)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return typed.split(blanks, Qt::SkipEmptyParts);
}

QString CustomerSearch::containsPattern(const QString &word)
{
    QString pattern;
    pattern.reserve(word.size() + 4);
    pattern += QLatin1Char('%');
    for (const QChar ch : word) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('_') || ch == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += ch;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

MaybeError CustomerSearch::find(Connection &connection, const QString &typed, int shown, Result &result)
{
    const QStringList typedWords = words(typed);
    QVariantList values;
    for (const QString &word : typedWords)
        values.append(containsPattern(word));
    values.append(shown);
    RowSet rows;
    if (MaybeError error = connection.select(statement(int(typedWords.size())), values, rows))
        return error;
    Result found;
    found.shown.reserve(rows.count());
    for (int row = 0; row < rows.count(); ++row) {
        found.shown.append({rows.value(row, QStringLiteral("ID")), rows.text(row, QStringLiteral("NOMBRE")),
            rows.text(row, QStringLiteral("RUC")), rows.text(row, QStringLiteral("CONTACTO")),
            rows.text(row, QStringLiteral("TELEFONO"))});
    }
    if (rows.count() > 0)
        found.more = rows.value(0, QStringLiteral("TOTAL")).toLongLong() - rows.count();
    result = std::move(found);
    return std::nullopt;
}
