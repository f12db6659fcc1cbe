#pragma once

#include "data/dberror.h"

#include <QString>
#include <QStringList>

class Connection;

// An article code typed by hand at the desk, held against the catalogue. The order stores the
// code, the report finds the article by it and the stock is lowered by it: a code that only
// looks like the catalogue's ("hx-001 " for HX-001) takes the catalogue's own writing, and one
// that is not there at all is told before the line is added.
class TypedCode
{
public:
    enum class Match {
        Empty, // nothing typed
        Exact, // the catalogue's own code
        Adjusted, // one catalogue code once blanks are trimmed and case is ignored: `code` is it
        Several, // several codes differ from it only by case: `candidates`
        Unknown, // no code of the catalogue
    };

    struct Result
    {
        Match match = Match::Empty;
        QString code;
        QStringList candidates;
    };

    static MaybeError resolve(Connection &connection, const QString &typed, Result &result);

    // "El código … no está en el catálogo." and whether to add the line all the same.
    static QString unknownQuestion(const QString &typed);
    static QString severalText(const QString &typed, const QStringList &candidates);
};
