#include "companysettings.h"

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
    bool ok = false;
    const QString counter = typed.ultimoPedido.trimmed();
    const qint32 last = counter.isEmpty() ? 0 : counter.toInt(&ok);
    if (!counter.isEmpty() && (!ok || last < 0))
        return refuse(QStringLiteral("El último número de pedido debe ser un número entero no negativo, no '%1'.")
                          .arg(typed.ultimoPedido));
    return Schema::Settings{typed.empresa.trimmed(), typed.vendedor.trimmed(), last};
}

std::optional<Schema::Settings> CompanySettings::validateWithFirstOrder(
    const QString &empresa, const QString &vendedor, const QString &primerPedido, QString *refusal)
{
    const QString first = primerPedido.trimmed();
    bool ok = first.isEmpty();
    const qint32 number = ok ? 1 : first.toInt(&ok);
    if (!ok || number < 1) {
        if (refusal)
            *refusal = QStringLiteral("El primer número de pedido debe ser un número entero mayor que cero, no '%1'.")
                           .arg(primerPedido);
        return std::nullopt;
    }
    return validate({empresa, vendedor, QString::number(number - 1)}, refusal);
}
