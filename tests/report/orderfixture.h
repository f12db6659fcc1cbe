#pragma once

#include "base/globals.h"
#include "data/connection.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

#include <QDate>
#include <QDebug>
#include <QString>

#include <memory>

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

    // An order of alike lines of the article A1, which must be stored.
    bool order(int number, QDate date, const QString &customer, int lines, int quantity, double price,
        const QString &details = QString()) const
    {
        bool stored = order(number, date, customer);
        for (int n = 1; stored && n <= lines; ++n)
            stored = line(number, n, QStringLiteral("A1"), quantity, price, details);
        return stored;
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

    // The order report run over this database (which the run's connection string is left
    // naming) for the number and date captions, each left as the report starts when empty;
    // nullptr, with the failure told, when it cannot run.
    std::unique_ptr<rptOrden> report(const QString &number, const QString &date = QString()) const
    {
        strConexion = Connection::connectionString(db.path());
        auto report = std::make_unique<rptOrden>();
        if (!number.isEmpty())
            report->setCaption(QStringLiteral("lblView_NRO_PEDIDO"), number);
        if (!date.isEmpty())
            report->setCaption(QStringLiteral("lblFECHA"), date);
        const std::optional<QString> error = report->run();
        if (error)
            qWarning() << *error;
        return error ? nullptr : std::move(report);
    }
};
