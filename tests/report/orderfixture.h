#pragma once

#include "support/testdatabase.h"

#include <QDate>
#include <QString>

// Stored orders for the report tests, written straight into a test database.
struct OrderFixture
{
    const TestDatabase &db;

    bool article(const QString &code, const QString &description) const
    {
        return db.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, "
                                      "P_UNITARIO, FECHA_ACT) VALUES (?, ?, ?, 10, 99.0, '2004-01-01')"),
            {code, code + QStringLiteral("-F"), description});
    }

    bool order(int number, QDate date, const QString &customer) const
    {
        return db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, "
                                      "CONTACTO, EMAIL, FORMA_DE_ENVIO, FORMA_DE_PAGO, OBSERVACIONES) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {number, date.toString(Qt::ISODate), customer, QStringLiteral("Calle %1").arg(number),
                QStringLiteral("RUC-%1").arg(number), QStringLiteral("555-%1").arg(number),
                QStringLiteral("Contacto %1").arg(number), QStringLiteral("c%1@example.com").arg(number),
                QStringLiteral("Envío %1").arg(number), QStringLiteral("Pago %1").arg(number),
                QStringLiteral("Obs %1").arg(number)});
    }

    bool line(int order, int number, const QString &code, int quantity, double price,
        const QString &details = QString()) const
    {
        return db.exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, "
                                      "P_UNITARIO, DETALLES) VALUES (?, ?, ?, ?, ?, ?)"),
            {order, number, code, quantity, price, details});
    }
};
