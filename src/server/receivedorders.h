#pragma once

#include "data/dberror.h"
#include "data/rowset.h"

#include <QDate>
#include <QString>

class ServerConnection;

// The orders the company server received, as the office reads them: one row per line, with its
// order's and its salesperson's columns, salesperson by salesperson, orders in number order.
// The columns are named as the order report's fields read them, so that the same report lays
// out the office's rows and a laptop's.
class ReceivedOrders
{
public:
    struct Selection
    {
        QDate from; // the orders' own dates, both ends included
        QDate to;
        QString salesperson; // a code, or empty for everyone
    };

    // `notInCatalogue` stands for the description of a line whose article the company catalogue
    // lacked when it arrived. The salesperson's columns are VENDEDORES.CODIGO and VENDEDORES.NOMBRE.
    static MaybeError forReport(
        ServerConnection &office, const Selection &selection, const QString &notInCatalogue, RowSet &rows);
};
