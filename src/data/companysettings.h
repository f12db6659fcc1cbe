#pragma once

#include "dberror.h"
#include "schema.h"

#include <QString>

#include <optional>

// The settings row as someone types it (the database tool, the first start, the settings
// window): every place checks it by the same rules.
class Connection;

class CompanySettings
{
public:
    struct Typed
    {
        QString empresa;
        QString vendedor;
        QString ultimoPedido;
    };

    // Order numbers are 32-bit: the last order may be at most one below the highest, so that the
    // next one still has a number.
    static constexpr qint32 highestLastOrder = 2147483646;
    // What the start says when the stored counter leaves no number for another order; nullopt
    // while it does.
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
    static MaybeError raiseLastOrder(Connection &connection, qint32 atLeast);
};
