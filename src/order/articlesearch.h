#pragma once

#include "data/dberror.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Connection;
class QSqlQuery;

// The three criteria of the catalogue search, as the check boxes and their texts hold them.
struct SearchCriteria
{
    bool byCode = false;
    QString code;
    bool byFactoryCode = false;
    QString factoryCode;
    bool byDescription = false;
    QString description;
};

// The catalogue search: the statement built from the criteria and the grid rows of the
// articles found. The typed texts are bound values with the wildcards joined to them, so
// a typed % or _ still matches anything while a quote is just a character.
class ArticleSearch
{
public:
    struct Statement
    {
        QString sql;
        QVariantList values;
    };

    static Statement statement(const SearchCriteria &criteria);

    // One row of the found grid: code, factory code, description, stock, and the price
    // in pesos ("Standard"); a missing value is an empty cell, a missing price is 0.
    static QStringList gridRow(const QVariant &codArt, const QVariant &codPropio, const QVariant &descripcion,
        const QVariant &stock, const QVariant &precio, double tipoCambio);

    // Runs the search and reads every match into grid rows; the number of matches is
    // the number of rows, with no 16-bit limit.
    static MaybeError run(
        Connection &connection, const SearchCriteria &criteria, double tipoCambio, QList<QStringList> &rows);

    static QString noMatchesText();
    static QString tooManyQuestion(qint64 count);
    // Above this many matches the user is asked before they are listed.
    static constexpr int listWithoutAsking = 100;
};
