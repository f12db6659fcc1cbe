#pragma once

#include "data/cataloguesearch.h"
#include "data/dberror.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// The rows of the found grid for the catalogue search (CatalogueSearch, in the store).
class ArticleSearch
{
public:
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
