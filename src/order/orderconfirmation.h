#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class CustomerCursor;

// The order in progress as the main window holds it, all as display text.
struct OrderDraft
{
    QString nroPedido; // caption of lblNRO_PEDIDO
    QString fecha; // caption of lblFECHA
    // The six customer fields as shown; used as they are when no customer record is current.
    QString nombre;
    QString direccion;
    QString ruc;
    QString telefono;
    QString contacto;
    QString email;
    QString formaDeEnvio;
    QString formaDePago;
    QString observaciones;
    // Data rows of gridCompras (row 1 first), each the cells of columns 0 to 6:
    // "Descripción", "Can", "PUnitario", "Total", "Código", "Observaciones", "Cód.fábrica".
    QList<QStringList> lines;
};

// Stores a confirmed order: the current customer's pending changes, the header, the lines,
// the stock of each article and the order counter, all in one transaction on the run's
// connection, so that an order is stored wholly or not at all. Every box goes through
// Dialogs::current().
class OrderConfirmation
{
public:
    enum class Outcome {
        Stored, // committed and announced; the window starts the next order
        NoLines, // "No hay orden a guardar."
        Refused, // a text that does not convert; nothing was tried
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
    explicit OrderConfirmation(CustomerCursor *customers = nullptr);

    // Told the grid row (from 1) about to be stored, so the window can show it selected.
    void setLineStarting(std::function<void(int row)> lineStarting);

    // Everything the order changed in memory (the run's counter, the customer cursor) is put
    // back when the order is not stored, so that confirming again starts clean.
    Result confirm(const OrderDraft &order);

private:
    CustomerCursor *m_customers = nullptr;
    std::function<void(int)> m_lineStarting;
};
