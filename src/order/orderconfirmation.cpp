#include "orderconfirmation.h"

#include "app/dialogs.h"
#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "data/retryframe.h"
#include "data/storedroutines.h"
#include "data/transaction.h"

#include <QDate>

#include <optional>

namespace {

// Columns of gridCompras that are stored.
constexpr int colCantidad = 1;
constexpr int colPUnitario = 2;
constexpr int colCodigo = 4;
constexpr int colObservaciones = 5;

const QString attention = QStringLiteral("Atención");

struct Line
{
    qint32 cantidad = 0;
    double pUnitario = 0;
    QString codArt;
    QString detalles;
};

QString cell(const QStringList &row, int column)
{
    return column < row.size() ? row.at(column) : QString();
}

void tell(const QString &text, const QString &title = {}, QMessageBox::Icon icon = QMessageBox::NoIcon)
{
    Dialogs::current().message(text, title, icon);
}

void refuse(const QString &text)
{
    tell(text + QStringLiteral("\nLa orden no se guardó."), attention, QMessageBox::Warning);
}

// What the order would store, read and checked before anything is written: a text that does
// not convert stops the order here rather than halfway through storing it.
struct Checked
{
    OrderHeader header;
    QList<Line> lines;
    int refusedLine = -1; // 0 for the header, from 1 for a line
};

Checked check(const OrderDraft &order)
{
    Checked checked;
    const std::optional<qint32> number = Regional::toInt32(Regional::leadingNumber(order.nroPedido));
    if (!number) {
        refuse(QStringLiteral("El número de pedido '%1' no es válido.").arg(order.nroPedido));
        checked.refusedLine = 0;
        return checked;
    }
    const std::optional<QDate> date = Regional::toDate(order.fecha);
    if (!date || !date->isValid()) {
        refuse(QStringLiteral("La fecha del pedido '%1' no es una fecha.").arg(order.fecha));
        checked.refusedLine = 0;
        return checked;
    }
    checked.header.nroPedido = *number;
    checked.header.fecha = *date;

    for (int r = 1; r <= order.lines.size(); ++r) {
        const QStringList &row = order.lines.at(r - 1);
        const QString quantityText = cell(row, colCantidad);
        const std::optional<qint32> quantity = Regional::toInt32(Regional::leadingNumber(quantityText));
        if (!quantity) {
            refuse(QStringLiteral("Línea %1: la cantidad '%2' está fuera de rango.").arg(r).arg(quantityText));
            checked.refusedLine = r;
            return checked;
        }
        const QString priceText = cell(row, colPUnitario);
        const std::optional<double> price = Regional::toNumber(priceText);
        if (!price) {
            refuse(QStringLiteral("Línea %1: el precio unitario '%2' no es un número.").arg(r).arg(priceText));
            checked.refusedLine = r;
            return checked;
        }
        checked.lines.append({*quantity, *price, cell(row, colCodigo), cell(row, colObservaciones)});
    }
    return checked;
}

} // namespace

OrderConfirmation::OrderConfirmation(CustomerCursor *customers)
    : m_customers(customers)
{ }

void OrderConfirmation::setLineStarting(std::function<void(int)> lineStarting)
{
    m_lineStarting = std::move(lineStarting);
}

OrderConfirmation::Result OrderConfirmation::confirm(const OrderDraft &order)
{
    if (order.lines.isEmpty()) {
        tell(QStringLiteral("No hay orden a guardar."), attention, QMessageBox::Information);
        return {Outcome::NoLines};
    }

    Checked checked = check(order);
    if (checked.refusedLine >= 0)
        return {Outcome::Refused, checked.refusedLine};

    // What this order changes in memory, to put back if it is not stored.
    const QString lastOrder = strULTIMO_PEDIDO;
    const bool customerPending = m_customers && m_customers->hasPendingChanges();
    const CustomerCursor::State customerState = customerPending ? m_customers->saveState() : CustomerCursor::State{};

    Transaction transaction(acnDataBase());
    auto giveUp = [&](Outcome outcome, int line, const QString &text, const QString &title = {},
                      QMessageBox::Icon icon = QMessageBox::NoIcon) -> Result {
        transaction.rollback();
        strULTIMO_PEDIDO = lastOrder;
        if (customerPending)
            m_customers->restoreState(customerState);
        tell(text, title, icon);
        return {outcome, line};
    };
    const QString headerFailed = QStringLiteral("error al guardar el pedido");

    if (!runWithRetry([&] { return transaction.begin(); }))
        return giveUp(Outcome::HeaderNotStored, 0, headerFailed);

    // The customer is stored with the order, and read back as stored.
    if (m_customers) {
        MaybeError error = m_customers->update();
        if (!error)
            error = m_customers->move(0);
        if (error)
            return giveUp(Outcome::CustomerNotStored, 0, QStringLiteral("No se pudo guardar los datos del cliente."),
                QStringLiteral("Error: %1 - %2").arg(Regional::plainInteger(error->number), error->description),
                QMessageBox::Information);
    }
    OrderHeader &header = checked.header;
    if (m_customers && m_customers->hasCurrent()) {
        header.cliente = m_customers->value(CustomerCursor::Field::Nombre);
        header.direccion = m_customers->value(CustomerCursor::Field::Direccion);
        header.ruc = m_customers->value(CustomerCursor::Field::Ruc);
        header.telefono = m_customers->value(CustomerCursor::Field::Telefono);
        header.contacto = m_customers->value(CustomerCursor::Field::Contacto);
        header.email = m_customers->value(CustomerCursor::Field::Email);
    } else {
        header.cliente = order.nombre;
        header.direccion = order.direccion;
        header.ruc = order.ruc;
        header.telefono = order.telefono;
        header.contacto = order.contacto;
        header.email = order.email;
    }
    header.formaDeEnvio = order.formaDeEnvio;
    header.formaDePago = order.formaDePago;
    header.observaciones = order.observaciones;

    // A failure the engine answers by ending the transaction itself would leave every later
    // statement committed on its own: the order is then given up as a whole.
    if (!GraboPedido(header) || !transaction.isStillOpen())
        return giveUp(Outcome::HeaderNotStored, 0, headerFailed);

    int stockFailures = 0;
    for (int r = 1; r <= checked.lines.size(); ++r) {
        const Line &line = checked.lines.at(r - 1);
        if (m_lineStarting)
            m_lineStarting(r);
        if (!GraboLinea(header.nroPedido, r, line.codArt, line.cantidad, line.pUnitario, line.detalles)
            || !transaction.isStillOpen())
            return giveUp(Outcome::LineNotStored, r, QStringLiteral("error al guardar la linea del pedido"));
        // An article whose stock cannot be lowered does not stop the order.
        if (!ActualizoStock(line.codArt, line.cantidad)) {
            ++stockFailures;
            if (!transaction.isStillOpen())
                return giveUp(Outcome::HeaderNotStored, r, headerFailed);
            tell(QStringLiteral("error al actualizar stock"));
        } else if (!transaction.isStillOpen()) {
            return giveUp(Outcome::HeaderNotStored, r, headerFailed);
        }
    }

    if (!AumentoNroPedido() || !transaction.isStillOpen())
        return giveUp(Outcome::CounterNotAdvanced, 0, QStringLiteral("no se pudo aumentar el numero de pedido."));

    if (!runWithRetry([&] { return transaction.commit(); }))
        return giveUp(Outcome::HeaderNotStored, 0, headerFailed);

    tell(QStringLiteral("ORDEN #") + order.nroPedido + QStringLiteral(" ha sido guardada."), attention,
        QMessageBox::Information);
    return {Outcome::Stored, 0, stockFailures};
}
