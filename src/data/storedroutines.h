#pragma once

#include <QDate>
#include <QString>

// Every change to orders, stock, the order counter and the catalogue goes through these
// routines, on the run's connection. Each returns true on success and false when the user
// gave up in its Retry/Cancel box; what was stored before stays stored.

struct OrderHeader
{
    qint32 nroPedido = 0;
    QDate fecha;
    QString cliente;
    QString direccion;
    QString ruc;
    QString telefono;
    QString contacto;
    QString email;
    QString formaDeEnvio;
    QString formaDePago;
    QString observaciones;
};

struct ArticleRecord
{
    QString codArt;
    QString codPropio;
    QString descripcion;
    qint32 stock = 0;
    double pUnitario = 0;
    QDate fecha;
};

bool GraboPedido(const OrderHeader &header);
bool GraboLinea(qint32 nroPedido, qint32 nroLinea, const QString &codArt, qint32 cantidad, double pUnitario,
    const QString &detalles);
// Lowers the stock (it may fall below zero) and stamps today's date on the article.
bool ActualizoStock(const QString &codArt, qint32 cantidad);
// Advances the stored counter of the company and the run's copy of it together.
bool AumentoNroPedido();
bool AgregoArticulo(const ArticleRecord &article);
bool ModificoArticulo(const ArticleRecord &article);
