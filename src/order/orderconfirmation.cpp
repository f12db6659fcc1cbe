#include "orderconfirmation.h"

#include "base/dialogs.h"
#include "base/globals.h"
#include "base/messagetitles.h"
#include "base/ordernumber.h"
#include "base/regional.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "data/retryframe.h"
#include "data/storedroutines.h"
#include "data/transaction.h"
#include "gridcolumns.h"

#include <QDate>

namespace {

struct Line
{
    qint32 cantidad = 0;
    double pUnitario = 0;
    QString codArt;
    QString detalles;
};

QString cell(const QStringList &row, OrderColumn c)
{
    return row.value(column(c));
}

const QString headerFailed = QStringLiteral("error al guardar el pedido");

} // namespace

// What the order would store, read and checked before anything is written: a text that does
// not convert stops the order here rather than halfway through storing it.
struct OrderConfirmation::Checked
{
    OrderHeader header;
    QList<Line> lines;
    OrderNumber lastOrder; // the run's counter before this order
    OrderNumber newLastOrder; // and after it, once stored
    int refusedLine = -1; // 0 for the header, from 1 for a line
    QString refusal;
};

OrderConfirmation::Checked OrderConfirmation::check(const OrderDraft &order)
{
    Checked checked;
    auto refuse = [&checked](int line, const QString &why) {
        checked.refusedLine = line;
        checked.refusal = why;
        return checked;
    };
    const std::optional<OrderNumber> number = OrderNumber::read(order.nroPedido);
    if (!number)
        return refuse(0, QStringLiteral("El número de pedido '%1' no es válido.").arg(order.nroPedido));
    const std::optional<QDate> date = Regional::toDate(order.fecha);
    if (!date || !date->isValid())
        return refuse(0, QStringLiteral("La fecha del pedido '%1' no es una fecha.").arg(order.fecha));
    // The counter advances past this order: it must leave a number for it.
    if (const std::optional<QString> exhausted = CompanySettings::counterExhausted(strULTIMO_PEDIDO))
        return refuse(0, *exhausted);
    checked.header.nroPedido = *number;
    checked.header.fecha = *date;
    checked.lastOrder = OrderNumber::read(strULTIMO_PEDIDO).value_or(OrderNumber());

    for (int r = 1; r <= order.lines.size(); ++r) {
        const QStringList &row = order.lines.at(r - 1);
        const QString quantityText = cell(row, OrderColumn::Cantidad);
        // Stored as the line total was computed from it: a whole number as written.
        const std::optional<qint32> quantity = Regional::wholeNumber(quantityText);
        if (!quantity)
            return refuse(
                r, QStringLiteral("Línea %1: la cantidad '%2' no es un número entero.").arg(r).arg(quantityText));
        const QString priceText = cell(row, OrderColumn::PUnitario);
        const std::optional<double> price = Regional::toNumber(priceText);
        if (!price)
            return refuse(
                r, QStringLiteral("Línea %1: el precio unitario '%2' no es un número.").arg(r).arg(priceText));
        checked.lines.append(
            {*quantity, *price, cell(row, OrderColumn::Codigo), cell(row, OrderColumn::Observaciones)});
    }
    return checked;
}

OrderConfirmation::OrderConfirmation(Connection &connection, Dialogs &dialogs, CustomerCursor *customers)
    : m_connection(connection)
    , m_dialogs(dialogs)
    , m_customers(customers)
{ }

void OrderConfirmation::setLineStarting(std::function<void(int)> lineStarting)
{
    m_lineStarting = std::move(lineStarting);
}

OrderConfirmation::Result OrderConfirmation::confirm(const OrderDraft &order)
{
    if (order.lines.isEmpty()) {
        m_dialogs.message(QStringLiteral("No hay orden a guardar."), MessageTitles::attention(), Dialogs::Information);
        return {Outcome::NoLines};
    }

    // A database moved away or deleted under the program would take the order with it.
    if (MaybeError gone = m_connection.checkStillInPlace()) {
        m_dialogs.message(gone->description, MessageTitles::attention(), Dialogs::Critical);
        return {Outcome::DatabaseGone};
    }

    Checked checked = check(order);
    if (checked.refusedLine >= 0) {
        m_dialogs.message(
            checked.refusal + QStringLiteral("\nLa orden no se guardó."), MessageTitles::attention(), Dialogs::Warning);
        return {Outcome::Refused, checked.refusedLine};
    }

    // What this order changes in memory, to put back if it is not stored.
    const bool customerPending = m_customers && m_customers->hasPendingChanges();
    const CustomerCursor::State customerState = customerPending ? m_customers->saveState() : CustomerCursor::State{};
    auto restoreCustomer = [&] {
        if (customerPending)
            m_customers->restoreState(customerState);
    };

    // The engine may have thrown the whole transaction away with its commit (a full disk): a
    // failed commit is offered again in the routines' own frame, and Retry stores the order
    // again from its start, so it is stored exactly once. Any other failure has told itself.
    Result result;
    const bool retried = runWithRetry(m_dialogs, [&]() -> MaybeError {
        std::optional<DbError> commitFailure;
        result = store(checked, order, commitFailure);
        if (!result.stored())
            restoreCustomer();
        return commitFailure;
    });
    if (result.stored()) {
        strULTIMO_PEDIDO = checked.newLastOrder.text();
        m_dialogs.message(QStringLiteral("ORDEN #") + order.nroPedido + QStringLiteral(" ha sido guardada."),
            MessageTitles::attention(), Dialogs::Information);
    } else if (!retried) {
        m_dialogs.message(headerFailed, {});
    }
    return result;
}

OrderConfirmation::Result OrderConfirmation::store(
    Checked &checked, const OrderDraft &order, std::optional<DbError> &commitFailure)
{
    const StoredRoutines routines(m_connection, m_dialogs);
    Transaction transaction(m_connection);
    auto giveUp = [&](Outcome outcome, int line, const QString &text, const QString &title = {},
                      Dialogs::Icon icon = Dialogs::NoIcon) -> Result {
        if (MaybeError undone = transaction.rollback())
            m_dialogs.message(
                QStringLiteral("No se pudo deshacer lo que se alcanzó a guardar de la orden.\n\n") + undone->text(),
                MessageTitles::attention(), Dialogs::Critical);
        m_dialogs.message(text, title, icon);
        return {outcome, line};
    };

    if (!routines.withRetry([&] { return transaction.begin(); }))
        return giveUp(Outcome::HeaderNotStored, 0, headerFailed);

    // The customer is stored with the order, and read back as stored.
    if (m_customers) {
        MaybeError error = m_customers->update();
        if (!error)
            error = m_customers->move(0);
        if (error)
            return giveUp(Outcome::CustomerNotStored, 0, QStringLiteral("No se pudo guardar los datos del cliente."),
                MessageTitles::error(error->number, error->description), Dialogs::Information);
    }
    OrderHeader &header = checked.header;
    header.texts = order.texts;
    if (m_customers && m_customers->hasCurrent()) {
        OrderTexts &texts = header.texts;
        texts.cliente = m_customers->value(CustomerCursor::Field::Nombre);
        texts.direccion = m_customers->value(CustomerCursor::Field::Direccion);
        texts.ruc = m_customers->value(CustomerCursor::Field::Ruc);
        texts.telefono = m_customers->value(CustomerCursor::Field::Telefono);
        texts.contacto = m_customers->value(CustomerCursor::Field::Contacto);
        texts.email = m_customers->value(CustomerCursor::Field::Email);
    }

    // A failure the engine answers by ending the transaction itself would leave every later
    // statement committed on its own: the order is then given up as a whole.
    if (!routines.GraboPedido(header) || !transaction.isStillOpen())
        return giveUp(Outcome::HeaderNotStored, 0, headerFailed);

    int stockFailures = 0;
    for (int r = 1; r <= checked.lines.size(); ++r) {
        const Line &line = checked.lines.at(r - 1);
        if (m_lineStarting)
            m_lineStarting(r);
        if (!routines.GraboLinea(header.nroPedido, r, line.codArt, line.cantidad, line.pUnitario, line.detalles)
            || !transaction.isStillOpen())
            return giveUp(Outcome::LineNotStored, r, QStringLiteral("error al guardar la linea del pedido"));
        // An article whose stock cannot be lowered does not stop the order.
        const bool lowered = routines.ActualizoStock(line.codArt, line.cantidad);
        if (!transaction.isStillOpen())
            return giveUp(Outcome::HeaderNotStored, r, headerFailed);
        if (!lowered) {
            ++stockFailures;
            m_dialogs.message(QStringLiteral("error al actualizar stock"), {});
        }
    }

    const std::optional<OrderNumber> advanced = routines.AumentoNroPedido(strEMPRESA, checked.lastOrder);
    if (!advanced || !transaction.isStillOpen())
        return giveUp(Outcome::CounterNotAdvanced, 0, QStringLiteral("no se pudo aumentar el numero de pedido."));
    checked.newLastOrder = *advanced;

    if (MaybeError error = transaction.commit()) {
        if (MaybeError undone = transaction.rollback())
            error->description
                += QStringLiteral("\n\nNo se pudo deshacer lo que se alcanzó a guardar: ") + undone->text();
        commitFailure = *error;
        return {Outcome::HeaderNotStored, 0};
    }
    return {Outcome::Stored, 0, stockFailures};
}
