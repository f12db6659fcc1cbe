#pragma once

#include "dberror.h"

#include <QString>
#include <QVariantList>

#include <functional>

class Connection;
class Row;

// The three criteria of the catalogue search, as the desk's check boxes and texts hold them.
struct SearchCriteria
{
    bool byCode = false;
    QString code;
    bool byFactoryCode = false;
    QString factoryCode;
    bool byDescription = false;
    QString description;
};

// The catalogue search: every coded article whose code begins with the typed code, and whose
// factory code and description contain the typed texts, in code order. The texts are bound
// values with the wildcards joined to them, so a typed % or _ still matches anything while a
// quote is just a character; the Spanish-aware LIKE reads them.
class CatalogueSearch
{
public:
    struct Statement
    {
        QString sql;
        QVariantList values;
    };

    static Statement statement(const SearchCriteria &criteria);
    // Each article found, as a row of the catalogue's columns.
    static MaybeError forEachArticle(
        Connection &connection, const SearchCriteria &criteria, const std::function<void(const Row &)> &article);
};
