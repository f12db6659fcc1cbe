#pragma once

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// The number and date texts that travel between fields, grids, labels and statements.
// Every rule reads the regional settings in force, which come from the system locale
// and can be replaced (tests set the target machines' settings or a point-decimal one).
class Regional
{
public:
    struct Settings
    {
        QChar decimalPoint;
        QChar groupSeparator;
        // Always two-digit day and month and a four-digit year, in the locale's order.
        QString shortDateFormat;
    };

    static Settings fromLocale(const QLocale &locale);
    // The target machines: 1.234,50 and 20/08/2004.
    static Settings commaDayFirst();
    // A point-decimal, month-first setting: 1,234.50 and 08/20/2004.
    static Settings pointMonthFirst();

    static const Settings &current();
    static void setCurrent(const Settings &settings);
    static void useSystem();

    // Blanks, tabs and line feeds skipped anywhere; a point decimal; stops at the first
    // character that cannot continue the number; no number gives 0. Never fails.
    static double leadingNumber(QStringView text);
    // The same, but a number beyond the range of a double is nullopt rather than 0.
    static std::optional<double> leadingNumberInRange(QStringView text);
    // The regional decimal separator, digit grouping accepted. Empty or not a number: nullopt.
    static std::optional<double> toNumber(QStringView text);
    // The same by other settings than the machine's (a file written by another system).
    static std::optional<double> toNumber(QStringView text, const Settings &settings);
    // Nearest integer, halves to the even neighbour; out of range (or not finite): nullopt.
    static std::optional<qint16> toInt16(double value);
    static std::optional<qint32> toInt32(double value);
    // A whole number written as one: blanks around, an optional sign, digits only, within 32
    // bits. Separators, fractions and exponents are refused, so the leading-number and the
    // regional readings of an accepted text always agree.
    static std::optional<qint32> wholeNumber(QStringView text);

    // Up to 15 significant digits, regional separator, no grouping, no trailing zeros.
    static QString plainNumber(double value);
    static QString plainInteger(qint64 value);
    // Grouped, exactly two decimals: 1.234,50 or 1,234.50.
    static QString standard(double value);

    static QString shortDate(QDate date);
    static std::optional<QDate> toDate(QStringView text);
    static std::optional<QDate> toDate(QStringView text, const Settings &settings);
};
