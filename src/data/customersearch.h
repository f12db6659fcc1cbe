#pragma once

#include "dberror.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// Finds customers by any words typed: a customer matches when every word stands somewhere in
// its name, RUC, contact, telephone or e-mail, in any order, read by the Spanish-aware LIKE
// (case and accents do not count, ñ is a letter of its own). The matches come in the customer
// cursor's order (the SPANISH collation, equal names by ID), a screenful at most, with the
// number of the others.
//
// Unlike the catalogue search, what is typed here is only ever text: a customer's "30%" or
// "O'Higgins" or "rio_negro" is looked for as written, so %, _ and the escape character are
// escaped before the words are bound.
class CustomerSearch
{
public:
    struct Found
    {
        QVariant id; // CLIENTES.ID, as the customer cursor knows the record
        QString nombre;
        QString ruc;
        QString contacto;
        QString telefono;
    };
    struct Result
    {
        QList<Found> shown;
        qint64 more = 0; // matches beyond those shown
        qint64 total() const { return shown.size() + more; }
    };

    // The words of a typed text, split at blanks; no words matches every customer.
    static QStringList words(const QString &typed);
    // A word as a LIKE pattern that finds it anywhere, its own %, _ and \ taken literally.
    static QString containsPattern(const QString &word);

    // At most `shown` (one or more) matches of the typed text, and how many more there are.
    static MaybeError find(Connection &connection, const QString &typed, int shown, Result &result);
};
