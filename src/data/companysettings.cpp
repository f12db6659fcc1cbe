#include "companysettings.h"

#include "base/regional.h"
#include "connection.h"
#include "tables.h"
#include "transaction.h"

namespace {

using Assignment = TableDefinition::Assignment;
using Condition = TableDefinition::Condition;

const QString &selectHighestOrder()
{
    static const QString sql = Tables::pedidos().highestStatement(QStringLiteral("NRO_PEDIDO"));
    return sql;
}

// The settings row is the first one the table gives, as start-up reads it.
const QString &updateFirstRow()
{
    static const QString sql = Tables::setup().updateStatement(
        {{QStringLiteral("EMPRESA")}, {QStringLiteral("RECORVAN")}, {QStringLiteral("ULTIMO_PEDIDO")}},
        {{{}, Condition::Kind::FirstRow}});
    return sql;
}

const QString &raiseFirstRow()
{
    static const QString sql = Tables::setup().updateStatement({{QStringLiteral("ULTIMO_PEDIDO")}},
        {{{}, Condition::Kind::FirstRow}, {QStringLiteral("ULTIMO_PEDIDO"), Condition::Kind::Below}});
    return sql;
}

} // namespace

std::optional<Schema::Settings> CompanySettings::validate(const Typed &typed, QString *refusal)
{
    auto refuse = [refusal](const QString &why) -> std::optional<Schema::Settings> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    // The company's name is the key of the order counter: it cannot be left blank.
    if (typed.empresa.trimmed().isEmpty())
        return refuse(QStringLiteral("Falta el nombre de la empresa."));
    // Typed, the counter is a whole number written as one: nothing is read into what a person wrote.
    const QString counter = typed.ultimoPedido.trimmed();
    const std::optional<qint32> last = counter.isEmpty() ? 0 : Regional::wholeNumber(counter);
    if (!last || *last < 0)
        return refuse(QStringLiteral("El último número de pedido debe ser un número entero no negativo, no '%1'.")
                          .arg(typed.ultimoPedido));
    if (!OrderNumber(*last).next())
        return refuse(QStringLiteral("El último número de pedido puede ser a lo sumo %1: el pedido siguiente no "
                                     "tendría número.")
                          .arg(OrderNumber::highest().value() - 1));
    return Schema::Settings{typed.empresa.trimmed(), typed.vendedor.trimmed(), OrderNumber(*last)};
}

std::optional<QString> CompanySettings::counterExhausted(const QString &ultimoPedido)
{
    const std::optional<OrderNumber> last = OrderNumber::read(ultimoPedido);
    if (last && last->next())
        return std::nullopt;
    return QStringLiteral("El contador de pedidos llegó a su límite (último pedido: %1): en esta base de datos no se "
                          "pueden guardar más pedidos. Los pedidos guardados se pueden seguir consultando, imprimiendo "
                          "y exportando.")
        .arg(ultimoPedido);
}

std::optional<Schema::Settings> CompanySettings::validateWithFirstOrder(
    const QString &empresa, const QString &vendedor, const QString &primerPedido, QString *refusal)
{
    const QString first = primerPedido.trimmed();
    const std::optional<qint32> number = first.isEmpty() ? 1 : Regional::wholeNumber(first);
    if (!number || *number < 1) {
        if (refusal)
            *refusal = QStringLiteral("El primer número de pedido debe ser un número entero mayor que cero, no '%1'.")
                           .arg(primerPedido);
        return std::nullopt;
    }
    return validate({empresa, vendedor, QString::number(*number - 1)}, refusal);
}

MaybeError CompanySettings::save(Connection &connection, const Schema::Settings &settings)
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    RowSet rows;
    if (MaybeError error = connection.select(selectHighestOrder(), {}, rows))
        return error;
    const QString highest = rows.text(0, QStringLiteral("N"));
    const std::optional<OrderNumber> highestOrder = OrderNumber::read(highest);
    if (!highestOrder || settings.ultimoPedido < *highestOrder)
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("El último número de pedido no puede ser menor que %1, el pedido más alto guardado.")
                .arg(highest)};
    Connection::Executed executed;
    if (MaybeError error = connection.execute(
            updateFirstRow(), {settings.empresa, settings.vendedor, settings.ultimoPedido.value()}, &executed))
        return error;
    if (executed.rowsAffected == 0) {
        if (MaybeError error = connection.execute(Tables::setup().insertStatement(),
                {settings.empresa, settings.vendedor, settings.ultimoPedido.value()}))
            return error;
    }
    return transaction.commit();
}

MaybeError CompanySettings::raiseLastOrder(Connection &connection, OrderNumber atLeast)
{
    return connection.execute(raiseFirstRow(), {atLeast.value(), atLeast.value()});
}
