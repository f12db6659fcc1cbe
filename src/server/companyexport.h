#pragma once

#include "data/dberror.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

class ServerConnection;

// The received orders as a file for the office's own system: one row per order line, with its
// order's columns repeated. RFC 4180 (commas, double quotes doubled, CRLF, UTF-8, a header row),
// numbers with a point and no grouping, dates as YYYY-MM-DD, so that any system reads it alike.
// By default each order goes out once: the orders handed out are recorded in the transaction
// that reads them, and that transaction commits only after the file stands whole in its place
// (written aside, flushed to the disk, then renamed). An export cut short leaves no file and
// records nothing.
class CompanyExport
{
public:
    enum class Which {
        NotExported, // every order not handed out before, recorded as handed out now
        All, // every order, recording nothing
        Since, // every order dated from `since` on, recording nothing
    };
    struct Request
    {
        Which which = Which::NotExported;
        QDate since;
        QString file;
    };
    struct Outcome
    {
        int orders = 0;
        int lines = 0;
    };

    static MaybeError run(ServerConnection &office, const Request &request, Outcome &outcome);

    static const QStringList &header();
    // One value as a field of the file: quoted when it holds a comma, a quote or a line break.
    static QString field(const QVariant &value);
};
