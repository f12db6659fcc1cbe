#pragma once

#include <QString>
#include <QVariantList>

// The texts an order's header keeps: the customer as the order found it, and how the order is
// to be sent and paid, with its remarks. They are PEDIDOS' text columns, in their order, whether
// typed at the desk, stored or sent to the company server.
struct OrderTexts
{
    QString cliente;
    QString direccion;
    QString ruc;
    QString telefono;
    QString contacto;
    QString email;
    QString formaDeEnvio;
    QString formaDePago;
    QString observaciones;

    // In the columns' order.
    QVariantList values() const
    {
        return {cliente, direccion, ruc, telefono, contacto, email, formaDeEnvio, formaDePago, observaciones};
    }
};
