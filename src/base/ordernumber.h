#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <limits>
#include <optional>

// An order's number, and the counter of the last one (SETUP.ULTIMO_PEDIDO): a whole number
// within 32 bits, as the order tables and the company server's hold it. Numbers below 1 only
// come from older files; 0 is also the counter before the first order.
class OrderNumber
{
public:
    constexpr OrderNumber() = default;
    constexpr explicit OrderNumber(qint32 value)
        : m_value(value)
    { }

    // The last number an order can take.
    static constexpr OrderNumber highest() { return OrderNumber(std::numeric_limits<qint32>::max()); }

    // A text as the program stores and shows order numbers (the counter, a caption, an answer):
    // its leading number (blanks skipped wherever they stand, a point decimal, no number at all
    // is 0), without its fraction, as the target machines' comma reads "15,5". A fraction so
    // never gives a number twice when the engine adds 1 to a counter that carries one. Beyond
    // 32 bits there is no order number: nullopt.
    static std::optional<OrderNumber> read(QStringView text);
    // The text as the program keeps it: its number's plain text, or, when it holds no order
    // number, as it is (trimmed), so that every later reading finds none in it either.
    static QString plainText(QStringView text);

    constexpr qint32 value() const { return m_value; }
    // Decimal digits, with a minus sign when negative.
    QString text() const;
    // The number the next order takes; none after the highest.
    constexpr std::optional<OrderNumber> next() const
    {
        if (*this == highest())
            return std::nullopt;
        return OrderNumber(m_value + 1);
    }

    constexpr bool operator==(const OrderNumber &) const = default;
    constexpr std::strong_ordering operator<=>(const OrderNumber &other) const { return m_value <=> other.m_value; }

private:
    qint32 m_value = 0;
};
