#pragma once

#include "dberror.h"
#include "schema.h"

#include <QString>

#include <optional>

class Connection;

// The settings row as someone types it (the database tool, the first start, the settings
// window): every place checks it by the same rules.
class CompanySettings
{
public:
    struct Typed
    {
        QString empresa;
        QString vendedor;
        QString ultimoPedido;
    };

    // What the start and the confirmation say when the counter, as the run holds it, leaves no
    // number for another order (it is at the highest, or holds no order number); nullopt while it
    // does.
    static std::optional<QString> counterExhausted(const QString &ultimoPedido);

    // The settings to store, or nullopt with why not (a Spanish sentence) in `refusal`.
    static std::optional<Schema::Settings> validate(const Typed &typed, QString *refusal = nullptr);
    // A new database asks for the first order number instead of the last: the counter stored is
    // that number less one, by the same rules.
    static std::optional<Schema::Settings> validateWithFirstOrder(
        const QString &empresa, const QString &vendedor, const QString &primerPedido, QString *refusal = nullptr);

    // Replaces the settings row. A counter below the highest stored order is refused: the
    // next order would take a number that is already used.
    static MaybeError save(Connection &connection, const Schema::Settings &settings);
    // Raises the stored counter to `atLeast` when it is below; it is never lowered.
    static MaybeError raiseLastOrder(Connection &connection, OrderNumber atLeast);
};
