#include "jetvalues.h"

#include <QTimeZone>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace JetValues {

namespace {

// Turns UTF-16LE units into text, replacing what cannot be read.
QString fromUnits(const QList<char16_t> &units, bool &clean)
{
    QString result;
    result.reserve(units.size());
    for (qsizetype i = 0; i < units.size(); ++i) {
        const char16_t unit = units.at(i);
        if (QChar::isHighSurrogate(unit)) {
            if (i + 1 < units.size() && QChar::isLowSurrogate(units.at(i + 1))) {
                result.append(QChar(unit));
                result.append(QChar(units.at(i + 1)));
                ++i;
                continue;
            }
            clean = false;
            result.append(QChar::ReplacementCharacter);
        } else if (QChar::isLowSurrogate(unit)) {
            clean = false;
            result.append(QChar::ReplacementCharacter);
        } else {
            result.append(QChar(unit));
        }
    }
    return result;
}

} // namespace

QString text(const QByteArray &raw, bool *clean)
{
    bool readable = true;
    QList<char16_t> units;
    units.reserve(raw.size());
    const auto byteAt = [&raw](qsizetype i) { return static_cast<unsigned char>(raw.at(i)); };
    if (raw.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE) {
        bool compressed = true;
        qsizetype i = 2;
        while (i < raw.size()) {
            if (byteAt(i) == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units.append(char16_t(byteAt(i)));
                ++i;
            } else if (i + 1 < raw.size()) {
                units.append(char16_t(byteAt(i) | (byteAt(i + 1) << 8)));
                i += 2;
            } else {
                readable = false;
                ++i;
            }
        }
    } else {
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            units.append(char16_t(byteAt(i) | (byteAt(i + 1) << 8)));
        if (raw.size() % 2 != 0)
            readable = false;
    }
    QString result = fromUnits(units, readable);
    if (clean)
        *clean = readable;
    if (result.isNull())
        result = QLatin1String(""); // an empty text, never a missing value
    return result;
}

QDateTime dateTime(double value)
{
    // Years 100 to 9999, as Jet itself allows.
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0)
        return {};
    const double days = std::trunc(value);
    const double fraction = std::fabs(value - days);
    const qint64 milliseconds = std::llround(fraction * 86400000.0);
    const QDate day = QDate(1899, 12, 30).addDays(qint64(days));
    return QDateTime(day, QTime(0, 0), Qt::UTC).addMSecs(milliseconds);
}

qint32 int32(const char *bytes)
{
    return qFromLittleEndian<qint32>(bytes);
}

qint16 int16(const char *bytes)
{
    return qFromLittleEndian<qint16>(bytes);
}

qint64 int64(const char *bytes)
{
    return qFromLittleEndian<qint64>(bytes);
}

double float64(const char *bytes)
{
    const quint64 bits = qFromLittleEndian<quint64>(bytes);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float float32(const char *bytes)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace JetValues
