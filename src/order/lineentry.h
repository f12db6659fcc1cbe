#pragma once

#include <QString>

#include <optional>

// The rules of the line being composed. Every value lives as display text; these turn the
// texts into the line total and back.
class LineEntry
{
public:
    // What leaving the quantity or the price box leaves in the box and in the total.
    struct Left
    {
        QString field; // the box's text after leaving it
        std::optional<QString> total; // the total's new text; nullopt leaves it as it was
    };

    // Quantity times price, "Standard"; nullopt when either text is not a number.
    static std::optional<QString> lineTotal(const QString &cantidad, const QString &precio);

    // An empty box becomes "0" and the total stays. Otherwise the total follows; when it
    // cannot be computed (a text that is not a number) it shows empty rather than a stale
    // figure, and the box keeps what was typed.
    static Left leaveCantidad(const QString &cantidad, const QString &precio);
    // As above, and a price that is a number is written again in "Standard".
    static Left leavePrecio(const QString &cantidad, const QString &precio);
};
