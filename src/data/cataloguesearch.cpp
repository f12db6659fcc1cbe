#include "cataloguesearch.h"

#include "connection.h"
#include "tables.h"

CatalogueSearch::Statement CatalogueSearch::statement(const SearchCriteria &criteria)
{
    Statement statement;
    statement.sql = Tables::articulos().selectStatement() + QStringLiteral(" where COD_ART<>'' ");
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
    statement.sql += QStringLiteral("order by COD_ART");
    return statement;
}

MaybeError CatalogueSearch::forEachArticle(
    Connection &connection, const SearchCriteria &criteria, const std::function<void(const Row &)> &article)
{
    const Statement search = statement(criteria);
    return connection.forEachRow(search.sql, search.values, article);
}
