#include "articlesearch.h"

#include "base/regional.h"
#include "data/connection.h"
#include "gridcolumns.h"

#include <QSqlQuery>
#include <QSqlRecord>

ArticleSearch::Statement ArticleSearch::statement(const SearchCriteria &criteria)
{
    Statement statement;
    statement.sql = QStringLiteral("select * from ARTICULOS where COD_ART<>'' ");
    // The code must begin with its text; the other two must contain theirs.
    if (criteria.byCode) {
        statement.sql += QStringLiteral("and COD_ART like ? ");
        statement.values.append(criteria.code + QLatin1Char('%'));
    }
    if (criteria.byFactoryCode) {
        statement.sql += QStringLiteral("and COD_PROPIO like ? ");
        statement.values.append(QLatin1Char('%') + criteria.factoryCode + QLatin1Char('%'));
    }
    if (criteria.byDescription) {
        statement.sql += QStringLiteral("and DESCRIPCION like ? ");
        statement.values.append(QLatin1Char('%') + criteria.description + QLatin1Char('%'));
    }
    statement.sql += QStringLiteral("order by COD_ART;");
    return statement;
}

namespace {

QString cellText(const QVariant &value)
{
    if (value.isNull())
        return {};
    // A stored real (a stock kept with decimals) is written the regional way.
    if (value.typeId() == QMetaType::Double)
        return Regional::plainNumber(value.toDouble());
    return value.toString();
}

} // namespace

QStringList ArticleSearch::gridRow(const QVariant &codArt, const QVariant &codPropio, const QVariant &descripcion,
    const QVariant &stock, const QVariant &precio, double tipoCambio)
{
    bool isNumber = false;
    const double catalogue = precio.isNull() ? 0.0 : precio.toDouble(&isNumber);
    const double pesos = isNumber ? catalogue * tipoCambio : 0.0;
    QStringList row(column(FoundColumn::Count));
    row[column(FoundColumn::Codigo)] = cellText(codArt);
    row[column(FoundColumn::CodFabrica)] = cellText(codPropio);
    row[column(FoundColumn::Descripcion)] = cellText(descripcion);
    row[column(FoundColumn::Stock)] = cellText(stock);
    row[column(FoundColumn::Precio)] = Regional::standard(pesos);
    return row;
}

MaybeError ArticleSearch::run(
    Connection &connection, const SearchCriteria &criteria, double tipoCambio, QList<QStringList> &rows)
{
    const Statement search = statement(criteria);
    QList<QStringList> found;
    int codArt = -1, codPropio = -1, descripcion = -1, stock = -1, precio = -1;
    MaybeError error = connection.forEachRow(search.sql, search.values, [&](const QSqlQuery &query) {
        if (codArt < 0) {
            const QSqlRecord record = query.record();
            codArt = record.indexOf(QStringLiteral("COD_ART"));
            codPropio = record.indexOf(QStringLiteral("COD_PROPIO"));
            descripcion = record.indexOf(QStringLiteral("DESCRIPCION"));
            stock = record.indexOf(QStringLiteral("STK_ACTUAL"));
            precio = record.indexOf(QStringLiteral("P_UNITARIO"));
        }
        found.append(gridRow(query.value(codArt), query.value(codPropio), query.value(descripcion), query.value(stock),
            query.value(precio), tipoCambio));
    });
    if (error)
        return error;
    rows = std::move(found);
    return std::nullopt;
}

QString ArticleSearch::noMatchesText()
{
    return QStringLiteral("No se encontraron registros.");
}

QString ArticleSearch::tooManyQuestion(qint64 count)
{
    return QStringLiteral("Se encontraron ") + Regional::plainInteger(count)
        + QStringLiteral(" registros, desea verlos de toda forma.");
}
