#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "data/dberror.h"
#include "data/ordertexts.h"

#include <functional>
#include <optional>

class Connection;
class CustomerCursor;
class Dialogs;

// The order in progress as the main window holds it, all as display text.
struct OrderDraft
{
    QString nroPedido; // caption of lblNRO_PEDIDO
    QString fecha; // caption of lblFECHA
    // As the fields show them; the six customer fields are used as they are when no customer
    // record is current.
    OrderTexts texts;
    // Data rows of gridCompras (row 1 first), each its cells by OrderColumn.
    QList<QStringList> lines;
};

// Stores a confirmed order: the current customer's pending changes, the header, the lines,
// the stock of each article and the order counter, all in one transaction on the connection it
// is given, so that an order is stored wholly or not at all. Every box goes through the dialogs
// it is given. A commit that fails (a full disk) offers Retry, which stores the whole order again.
class OrderConfirmation
{
public:
    enum class Outcome {
        Stored, // committed and announced; the window starts the next order
        NoLines, // "No hay orden a guardar."
        Refused, // a text that does not convert; nothing was tried
        DatabaseGone, // the database file is no longer where it was opened; nothing was tried
        CustomerNotStored,
        HeaderNotStored, // also: the transaction could not be begun, kept or committed
        LineNotStored,
        CounterNotAdvanced,
    };

    struct Result
    {
        Outcome outcome = Outcome::NoLines;
        int line = 0; // the line refused or not stored, from 1
        int stockFailures = 0; // lines whose article kept its stock
        bool stored() const { return outcome == Outcome::Stored; }
    };

    // The cursor's current record is committed with the order; without a cursor, the customer
    // texts of the draft are stored as they are.
    OrderConfirmation(Connection &connection, Dialogs &dialogs, CustomerCursor *customers = nullptr);

    // Told the grid row (from 1) about to be stored, so the window can show it selected.
    void setLineStarting(std::function<void(int row)> lineStarting);

    // The run's counter (strULTIMO_PEDIDO) advances only once the order is committed; the
    // customer cursor is put back when the order is not stored, so confirming again starts clean.
    Result confirm(const OrderDraft &order);

private:
    struct Checked;
    static Checked check(const OrderDraft &order);
    // One attempt at the whole transaction; the failed commit's error when only that failed.
    Result store(Checked &checked, const OrderDraft &order, std::optional<DbError> &commitFailure);

    Connection &m_connection;
    Dialogs &m_dialogs;
    CustomerCursor *m_customers = nullptr;
    std::function<void(int)> m_lineStarting;
};
