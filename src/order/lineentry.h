#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The rules of the line being composed. Every value lives as display text; these turn the
// texts into the line total and back, and refuse what could not be stored as shown.
class LineEntry
{
public:
    enum class Field { Cantidad, Precio };

    // Why a text cannot stand, and the box that takes the focus back to mend it.
    struct Refusal
    {
        Field field;
        QString text;
    };

    // What leaving the quantity or the price box leaves in the box and in the total.
    struct Left
    {
        QString field; // the box's text after leaving it
        std::optional<QString> total; // the total's new text; nullopt leaves it as it was
        std::optional<Refusal> refusal; // the box's own text cannot stand
    };

    // Quantity times price, "Standard"; nullopt when the quantity is not a whole number or
    // the price not a number.
    static std::optional<QString> lineTotal(const QString &quantity, const QString &price);

    // An empty box becomes "0" and the total stays. Otherwise the total follows; when it
    // cannot be computed it shows empty rather than a stale figure, and the box keeps what
    // was typed. A quantity must be a whole number, since that is what is counted and stored.
    static Left leaveCantidad(const QString &quantity, const QString &price);
    // As above, and a price that is a number is written again in "Standard".
    static Left leavePrecio(const QString &quantity, const QString &price);

    // The line's cells by OrderColumn, as cmdGuardar would add them. A line with nothing in it
    // is passed over; one whose quantity or price does not convert is refused.
    static bool isEmpty(const QStringList &line);
    static std::optional<Refusal> refusal(const QStringList &line);

private:
    static std::optional<Refusal> quantityRefusal(const QString &quantity);
    static std::optional<Refusal> priceRefusal(const QString &price);
};
