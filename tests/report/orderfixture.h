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

    // An order whose figures are wider than their boxes at the report's own sizes, and whose
    // customer texts are longer than theirs.
    bool wideOrder(int number, QDate date) const
    {
        const QString name = QStringLiteral("Ferretería y Bulonería Hermanos Núñez de la Santísima Trinidad "
                                            "Sociedad Anónima Comercial e Industrial");
        return article(QStringLiteral("W1"), QStringLiteral("Tornillo"))
            && db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE, TELEFONO, EMAIL) "
                                      "VALUES (?, ?, ?, ?, ?)"),
                {number, date.toString(Qt::ISODate), name, QStringLiteral("(061) 570-900 / 0981 123 456 / 021 600 700"),
                    QStringLiteral("departamento.de.compras.y.abastecimiento@ferreteriahermanosnunez.com.py")})
            && line(number, 1, QStringLiteral("W1"), 10, 1234567) && line(number, 2, QStringLiteral("W1"), 123456, 1)
            && line(number, 3, QStringLiteral("W1"), 1, 1234567.89);
    }

    bool line(int order, int number, const QString &code, int quantity, double price,
        const QString &details = QString()) const
    {
        return db.exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, "
                                      "P_UNITARIO, DETALLES) VALUES (?, ?, ?, ?, ?, ?)"),
            {order, number, code, quantity, price, details});
    }
};
