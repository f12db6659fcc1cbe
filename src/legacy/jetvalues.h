#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Decoding of Jet 4 values from a row's raw bytes, apart from libmdb's own text
// conversions, which depend on the process locale, round doubles and lose dates before 1899.
namespace JetValues {

// A TEXT or MEMO value: UTF-16LE, or "compressed" (FF FE, then runs of one-byte Latin-1
// characters and two-byte units switched by a zero byte). Characters outside the Basic
// Multilingual Plane arrive as surrogate pairs and are kept. `clean` turns false when part
// of the bytes could not be read (an odd byte, a lone surrogate); those become U+FFFD.
QString text(const QByteArray &raw, bool *clean = nullptr);

// A DATETIME: whole days since 1899-12-30 (negative before it), and the absolute value of the
// fraction as the time of day, kept to the millisecond. Invalid for values no calendar holds.
QDateTime dateTime(double value);

// Little-endian fixed-size values.
qint32 int32(const char *bytes);
qint16 int16(const char *bytes);
double float64(const char *bytes);
float float32(const char *bytes);
qint64 int64(const char *bytes);

} // namespace JetValues
