#pragma once

#include "base/globals.h"
#include "data/connection.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

#include <QDate>
#include <QDebug>

#include <memory>

// Stored orders for the report tests, written straight into a test database.
struct OrderFixture
{
    const TestDatabase &db;

    bool article(const QString &code, const QString &description) const
    {
        return db.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, "
                                      "P_UNITARIO, FECHA_ACT) VALUES (?1, ?1 || '-F', ?2, 10, 99.0, '2004-01-01')"),
            {code, description});
    }

    bool order(int number, QDate date, const QString &customer, int lines = 0, int quantity = 1, double price = 1,
        const QString &details = QString()) const
    {
        bool stored = db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (?, ?, ?)"),
            {number, date.toString(Qt::ISODate), customer});
        for (int n = 1; stored && n <= lines; ++n)
            stored = line(number, n, QStringLiteral("A1"), quantity, price, details);
        return stored;
    }

    // An order whose figures are wider than their boxes, and whose customer texts are longer.
    bool wideOrder(int number, QDate date) const
    {
        return article(QStringLiteral("W1"), QStringLiteral("Tornillo"))
            && db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE, TELEFONO, EMAIL) VALUES (?, ?, "
                                      "'Ferretería y Bulonería Hermanos Núñez de la Santísima Trinidad Sociedad "
                                      "Anónima Comercial e Industrial', '(061) 570-900 / 0981 123 456 / 021 600 700', "
                                      "'departamento.de.compras.y.abastecimiento@ferreteriahermanosnunez.com.py')"),
                {number, date.toString(Qt::ISODate)})
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

    // The order report run over this database (which strConexion is left naming) for the number
    // and date captions, each left as it starts when empty; nullptr, the failure told, if it fails.
    std::unique_ptr<rptOrden> report(const QString &number, const QString &date = QString()) const
    {
        strConexion = Connection::connectionString(db.path());
        auto report = std::make_unique<rptOrden>();
        for (const auto &[caption, text] : {std::pair{"lblView_NRO_PEDIDO", number}, {"lblFECHA", date}})
            if (!text.isEmpty())
                report->setCaption(QString::fromLatin1(caption), text);
        const MaybeError error = report->run();
        if (error)
            qWarning() << error->description;
        return error ? nullptr : std::move(report);
    }

    static QStringList allTexts(const ReportDocument &document, const QString &item)
    {
        QStringList texts;
        for (int page = 0; page < document.pageCount(); ++page)
            texts += document.texts(page, item);
        return texts;
    }
};
