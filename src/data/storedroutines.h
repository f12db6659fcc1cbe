#pragma once

#include "base/ordernumber.h"
#include "dberror.h"
#include "ordertexts.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

class Connection;
class Dialogs;

struct OrderHeader
{
    OrderNumber nroPedido;
    QDate fecha;
    OrderTexts texts;
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

// The program's six stored-data routines, on the connection they are given: an order's header
// and its lines, the stock an order takes, the order counter, and an article added or changed.
// Each runs its statement in the routines' Retry/Cancel frame, asked through the dialogs they
// are given, and returns true on success and false when the user gave up; what was stored
// before stays stored. The article's single statements, without the frame, serve callers that
// write many in one transaction and tell failures their own way. (Customers change through the
// customer cursor, and the server's bookkeeping through SentOrders and OrderRenumbering.)
class StoredRoutines
{
public:
    StoredRoutines(Connection &connection, Dialogs &dialogs);

    Connection &connection() const { return m_connection; }
    // The routines' frame around any step: "Error: N" with Retry and Cancel until it succeeds.
    bool withRetry(const std::function<MaybeError()> &step) const;

    bool GraboPedido(const OrderHeader &header) const;
    bool GraboLinea(OrderNumber nroPedido, qint32 nroLinea, const QString &codArt, qint32 cantidad, double pUnitario,
        const QString &detalles) const;
    // Lowers the stock (it may fall below zero) and stamps today's date on the article.
    bool ActualizoStock(const QString &codArt, qint32 cantidad) const;
    // Advances the stored counter of the company's settings row and returns the new last order
    // number (the one after ultimoPedido); nullopt when the user gave up, or when no number
    // follows ultimoPedido (then nothing is run). A counter that no row holds is a failure, so
    // the stored and the shown counters never part.
    std::optional<OrderNumber> AumentoNroPedido(const QString &empresa, OrderNumber ultimoPedido) const;
    bool AgregoArticulo(const ArticleRecord &article) const;
    bool ModificoArticulo(const ArticleRecord &article) const;

    // The single statements behind the article routines, without the frame, for callers that
    // write many articles in one transaction.
    MaybeError Busco_Articulo(const QString &codArt, bool &found) const;
    MaybeError insertArticle(const ArticleRecord &article) const;
    MaybeError updateArticle(const ArticleRecord &article) const;

private:
    bool executeWithRetry(const QString &sql, const QVariantList &values) const;

    Connection &m_connection;
    Dialogs &m_dialogs;
};
