#include "articlesearch.h"

#include "base/regional.h"
#include "data/connection.h"
#include "gridcolumns.h"

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
    QList<QStringList> found;
    MaybeError error = CatalogueSearch::forEachArticle(connection, criteria, [&](const Row &article) {
        found.append(gridRow(article.value(QStringLiteral("COD_ART")), article.value(QStringLiteral("COD_PROPIO")),
            article.value(QStringLiteral("DESCRIPCION")), article.value(QStringLiteral("STK_ACTUAL")),
            article.value(QStringLiteral("P_UNITARIO")), tipoCambio));
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
