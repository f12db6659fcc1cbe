#include "storedroutines.h"

#include "connection.h"
#include "retryframe.h"
#include "tables.h"

namespace {

const QString &insertPedido()
{
    static const QString sql = Tables::pedidos().insertStatement();
    return sql;
}

const QString &insertLinea()
{
    static const QString sql = Tables::lineasPedidos().insertStatement();
    return sql;
}

using Assignment = TableDefinition::Assignment;
using Condition = TableDefinition::Condition;

// Only whether the code is there matters: the code alone is read.
const QString &findArticulo()
{
    static const QString sql
        = Tables::articulos().selectStatement({QStringLiteral("COD_ART")}, {}, {QStringLiteral("COD_ART")});
    return sql;
}

const QString &insertArticulo()
{
    static const QString sql = Tables::articulos().insertStatement();
    return sql;
}

// The stock is replaced, not adjusted: the list holds the catalogue's own figures.
const QString &updateArticulo()
{
    static const QString sql = Tables::articulos().updateStatement(
        {QStringLiteral("COD_PROPIO"), QStringLiteral("DESCRIPCION"), QStringLiteral("STK_ACTUAL"),
            QStringLiteral("P_UNITARIO"), QStringLiteral("FECHA_ACT")},
        {QStringLiteral("COD_ART")});
    return sql;
}

const QString &updateStock()
{
    static const QString sql = Tables::articulos().updateStatement(
        {{QStringLiteral("STK_ACTUAL"), Assignment::Kind::LessValue}, {QStringLiteral("FECHA_ACT")}},
        {{QStringLiteral("COD_ART")}});
    return sql;
}

// A settings row whose company name was never filled in still counts as the company's.
const QString &updateCounter()
{
    static const QString sql
        = Tables::setup().updateStatement({{QStringLiteral("ULTIMO_PEDIDO"), Assignment::Kind::NextNumber}},
            {{QStringLiteral("EMPRESA"), Condition::Kind::EqualsBlankAsEmpty}});
    return sql;
}

// Dates are stored as ISO dates; no date at all as NULL. Written digit by digit: Qt's own
// formatting took a twentieth of a long article import.
QVariant dateValue(QDate date)
{
    if (!date.isValid())
        return {};
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 0 || year > 9999)
        return date.toString(Qt::ISODate);
    const char16_t iso[] = {char16_t(u'0' + year / 1000), char16_t(u'0' + year / 100 % 10),
        char16_t(u'0' + year / 10 % 10), char16_t(u'0' + year % 10), u'-', char16_t(u'0' + month / 10),
        char16_t(u'0' + month % 10), u'-', char16_t(u'0' + day / 10), char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar *>(iso), 10);
}

// Text is stored as typed: an empty field is an empty text, never a missing value.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

} // namespace

StoredRoutines::StoredRoutines(Connection &connection, Dialogs &dialogs)
    : m_connection(connection)
    , m_dialogs(dialogs)
{ }

bool StoredRoutines::withRetry(const std::function<MaybeError()> &step) const
{
    return runWithRetry(m_dialogs, step);
}

bool StoredRoutines::executeWithRetry(const QString &sql, const QVariantList &values) const
{
    return withRetry([&] { return m_connection.execute(sql, values); });
}

bool StoredRoutines::GraboPedido(const OrderHeader &h) const
{
    QVariantList values{h.nroPedido.value(), dateValue(h.fecha)};
    for (const QVariant &value : h.texts.values())
        values.append(text(value.toString()));
    return executeWithRetry(insertPedido(), values);
}

bool StoredRoutines::GraboLinea(OrderNumber nroPedido, qint32 nroLinea, const QString &codArt, qint32 cantidad,
    double pUnitario, const QString &detalles) const
{
    return executeWithRetry(
        insertLinea(), {nroPedido.value(), nroLinea, text(codArt), cantidad, pUnitario, text(detalles)});
}

bool StoredRoutines::ActualizoStock(const QString &codArt, qint32 cantidad) const
{
    return executeWithRetry(updateStock(), {cantidad, dateValue(QDate::currentDate()), text(codArt)});
}

std::optional<OrderNumber> StoredRoutines::AumentoNroPedido(const QString &empresa, OrderNumber ultimoPedido) const
{
    const std::optional<OrderNumber> next = ultimoPedido.next();
    if (!next)
        return std::nullopt;
    const bool advanced = withRetry([&]() -> MaybeError {
        Connection::Executed executed;
        if (MaybeError error = m_connection.execute(updateCounter(), {text(empresa)}, &executed))
            return error;
        if (executed.rowsAffected == 0)
            return DbError{DbErrorNumber::NoRowChanged,
                QStringLiteral("No se encontró la configuración de la empresa '%1': "
                               "el número de pedido no se pudo aumentar.")
                    .arg(empresa)};
        return std::nullopt;
    });
    if (!advanced)
        return std::nullopt;
    return next;
}

MaybeError StoredRoutines::Busco_Articulo(const QString &codArt, bool &found) const
{
    // The lookup comes once per imported article: the row is only looked at, never kept.
    found = false;
    return m_connection.forEachRow(findArticulo(), {text(codArt)}, [&found](const Row &) { found = true; });
}

MaybeError StoredRoutines::insertArticle(const ArticleRecord &a) const
{
    return m_connection.execute(insertArticulo(),
        {text(a.codArt), text(a.codPropio), text(a.descripcion), a.stock, a.pUnitario, dateValue(a.fecha)});
}

MaybeError StoredRoutines::updateArticle(const ArticleRecord &a) const
{
    return m_connection.execute(updateArticulo(),
        {text(a.codPropio), text(a.descripcion), a.stock, a.pUnitario, dateValue(a.fecha), text(a.codArt)});
}

bool StoredRoutines::AgregoArticulo(const ArticleRecord &article) const
{
    return withRetry([&] { return insertArticle(article); });
}

bool StoredRoutines::ModificoArticulo(const ArticleRecord &article) const
{
    return withRetry([&] { return updateArticle(article); });
}
