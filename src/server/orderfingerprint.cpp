#include "orderfingerprint.h"

#include "data/serverorder.h"
#include "data/tables.h"

#include <QCryptographicHash>
#include <QDate>

#include <algorithm>
#include <cstring>

namespace {

// Each value is its UTF-8 length, ':' and its text; NULL is '-'.
void append(QByteArray &canonical, const QVariant &value, const QString &text)
{
    if (OrderFingerprint::isNull(value)) {
        canonical += '-';
        return;
    }
    const QByteArray bytes = text.toUtf8();
    canonical += QByteArray::number(bytes.size()) + ':' + bytes;
}

void appendText(QByteArray &canonical, const QVariant &value)
{
    append(canonical, value, value.toString());
}

void appendInteger(QByteArray &canonical, const QVariant &value)
{
    append(canonical, value, QString::number(value.toLongLong()));
}

// The server reads the date as a date and writes it back as yyyy-mm-dd.
void appendDate(QByteArray &canonical, const QVariant &value)
{
    const QString text = value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate) : value.toString();
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    append(canonical, value, date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : text);
}

// A price is its eight IEEE bytes, most significant first, as hexadecimal digits: no decimal
// text can round two prices together. Zero goes without its sign.
void appendPrice(QByteArray &canonical, const QVariant &value)
{
    double price = value.toDouble();
    if (price == 0)
        price = 0;
    quint64 bits = 0;
    std::memcpy(&bits, &price, sizeof bits);
    append(canonical, value, QStringLiteral("%1").arg(bits, 16, 16, QLatin1Char('0')));
}

} // namespace

const QStringList &OrderFingerprint::headerColumns()
{
    static const QStringList columns = Tables::pedidos().columnNames();
    return columns;
}

// The lines travel inside their order: its number is the order's.
const QStringList &OrderFingerprint::lineColumns()
{
    static const QStringList columns = [] {
        QStringList names = Tables::lineasPedidos().columnNames();
        names.removeAll(QStringLiteral("NRO_PEDIDO"));
        return names;
    }();
    return columns;
}

bool OrderFingerprint::isNull(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull());
}

QString OrderFingerprint::of(const ServerOrder &order)
{
    QByteArray canonical = "recorvan-orden-1";
    const QVariantMap &header = order.header;
    appendInteger(canonical, header.value(QStringLiteral("NRO_PEDIDO")));
    appendDate(canonical, header.value(QStringLiteral("FECHA")));
    for (const QString &column : headerColumns().mid(2))
        appendText(canonical, header.value(column));

    QList<QVariantMap> lines = order.lines;
    std::stable_sort(lines.begin(), lines.end(), [](const QVariantMap &a, const QVariantMap &b) {
        return a.value(QStringLiteral("NRO_LINEA")).toLongLong() < b.value(QStringLiteral("NRO_LINEA")).toLongLong();
    });
    for (const QVariantMap &line : std::as_const(lines)) {
        appendInteger(canonical, line.value(QStringLiteral("NRO_LINEA")));
        appendText(canonical, line.value(QStringLiteral("COD_ART")));
        appendInteger(canonical, line.value(QStringLiteral("CANTIDAD")));
        appendPrice(canonical, line.value(QStringLiteral("P_UNITARIO")));
        appendText(canonical, line.value(QStringLiteral("DETALLES")));
    }
    return QString::fromLatin1(QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
}
