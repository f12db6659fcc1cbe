#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

struct ServerOrder;

// What tells the same order sent again from another order under the same number: SHA-256 of a
// canonical text of everything stored with it, the header's values and each line's, in line
// order. The company server makes the same text from what it receives (HUELLA_PEDIDO) and
// refuses an order whose fingerprint differs from the laptop's.
class OrderFingerprint
{
public:
    static QString of(const ServerOrder &order);

    // The header's columns, the laptop's own in their order, which is the order the receiving
    // function takes them in; and the lines' but their order's number.
    static const QStringList &headerColumns();
    static const QStringList &lineColumns();
    // NULL as the server's driver binds it: no value, or a null text.
    static bool isNull(const QVariant &value);
};
