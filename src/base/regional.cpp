#include "regional.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

Regional::Settings &settingsInForce()
{
    static Regional::Settings settings = Regional::fromLocale(QLocale::system());
    return settings;
}

// The plain digits of a number being read ([+-]digits.digits e[+-]digits), on the stack: figures
// are read for every record of a list.
using NumberText = QVarLengthArray<char, 64>;

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSkippedBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Reads "[eE][+-]digits" starting at i; returns the characters taken (0 when no exponent).
qsizetype readExponent(QStringView text, qsizetype i, NumberText &out)
{
    if (i >= text.size() || (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E')))
        return 0;
    const qsizetype kept = out.size();
    qsizetype j = i + 1;
    out.append('e');
    if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
        out.append(char(text[j++].unicode()));
    const qsizetype digitsStart = j;
    while (j < text.size() && isAsciiDigit(text[j]))
        out.append(char(text[j++].unicode()));
    if (j == digitsStart) {
        out.resize(kept);
        return 0;
    }
    return j - i;
}

std::optional<double> finiteOrNothing(const NumberText &number)
{
    // The standard library's reading gives the same nearest double as Qt's; Qt's reading stays
    // for what it does not read whole (a leading '+', a figure beyond or below any double).
    const char *begin = number.constData();
    const char *const end = begin + number.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    if (const auto [stop, error] = std::from_chars(begin, end, value); error == std::errc() && stop == end)
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    bool ok = false;
    value = QLocale::c().toDouble(QString::fromLatin1(number.constData(), number.size()), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1;
}

template <typename Int> std::optional<Int> roundToRange(double value)
{
    const std::optional<double> rounded = roundHalfEven(value);
    if (!rounded || *rounded < double(std::numeric_limits<Int>::min())
        || *rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(*rounded);
}

// The digits of a non-negative value in hundredths (at least three: "005" is 0.05), rounded
// from its 15-significant-digit text, halves up.
QString roundedCents(double value)
{
    if (value == 0)
        return QStringLiteral("000");
    // d.dddddddddddddde±x: fifteen significant digits and the power of ten of the first.
    const QByteArray scientific = QByteArray::number(value, 'e', 14);
    QByteArray significant = scientific.left(1) + scientific.mid(2, 14);
    const int exponent = scientific.mid(scientific.indexOf('e') + 1).toInt();
    // Digits before the decimal point plus the two decimals; what lies beyond is rounded away.
    const int kept = exponent + 3;
    if (kept < 0)
        return QStringLiteral("000");
    QByteArray cents;
    if (kept >= significant.size()) {
        cents = significant + QByteArray(kept - significant.size(), '0');
    } else {
        cents = significant.left(kept);
        if (significant.at(kept) >= '5') {
            // Carry up from the last kept digit; a carry out of the first adds a digit.
            int i = int(cents.size()) - 1;
            for (; i >= 0 && cents.at(i) == '9'; --i)
                cents[i] = '0';
            if (i >= 0)
                cents[i] = char(cents.at(i) + 1);
            else
                cents.prepend('1');
        }
    }
    while (cents.size() < 3)
        cents.prepend('0');
    return QString::fromLatin1(cents);
}

} // namespace

Regional::Settings Regional::fromLocale(const QLocale &locale)
{
    // Qt's short formats carry two-digit years and sometimes single-digit fields;
    // keep only the order of day, month and year and the separator.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(QLatin1Char('d'));
    const qsizetype month = format.indexOf(QLatin1Char('M'));
    const qsizetype year = format.indexOf(QLatin1Char('y'));

    QChar separator = QLatin1Char('/');
    for (QChar c : format) {
        if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            separator = c;
            break;
        }
    }

    struct Field
    {
        qsizetype at;
        QString text;
    };
    Field fields[] = {{day < 0 ? 0 : day, QStringLiteral("dd")}, {month < 0 ? 1 : month, QStringLiteral("MM")},
        {year < 0 ? 2 : year, QStringLiteral("yyyy")}};
    std::sort(std::begin(fields), std::end(fields), [](const Field &a, const Field &b) { return a.at < b.at; });

    Settings settings;
    settings.decimalPoint = locale.decimalPoint().at(0);
    settings.groupSeparator = locale.groupSeparator().isEmpty() ? QChar() : locale.groupSeparator().at(0);
    if (settings.groupSeparator == settings.decimalPoint)
        settings.groupSeparator = QChar();
    settings.shortDateFormat = fields[0].text + separator + fields[1].text + separator + fields[2].text;
    return settings;
}

Regional::Settings Regional::commaDayFirst()
{
    return {QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy")};
}

Regional::Settings Regional::pointMonthFirst()
{
    return {QLatin1Char('.'), QLatin1Char(','), QStringLiteral("MM/dd/yyyy")};
}

const Regional::Settings &Regional::current()
{
    return settingsInForce();
}

void Regional::setCurrent(const Settings &settings)
{
    settingsInForce() = settings;
}

void Regional::useSystem()
{
    settingsInForce() = fromLocale(QLocale::system());
}

double Regional::leadingNumber(QStringView text)
{
    return leadingNumberInRange(text).value_or(0);
}

std::optional<double> Regional::leadingNumberInRange(QStringView text)
{
    // Blanks count for nothing wherever they stand, so drop them first.
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text) {
        if (!isSkippedBlank(c))
            compact.append(c);
    }

    NumberText number;
    qsizetype i = 0;
    if (i < compact.size() && (compact[i] == QLatin1Char('+') || compact[i] == QLatin1Char('-')))
        number.append(char(compact[i++].unicode()));
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < compact.size(); ++i) {
        const QChar c = compact[i];
        if (isAsciiDigit(c)) {
            number.append(char(c.unicode()));
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            number.append('.');
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    readExponent(compact, i, number);
    return finiteOrNothing(number);
}

std::optional<double> Regional::toNumber(QStringView text)
{
    return toNumber(text, current());
}

std::optional<double> Regional::toNumber(QStringView text, const Settings &settings)
{
    const QStringView trimmed = text.trimmed();

    NumberText number;
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-')))
        number.append(char(trimmed[i++].unicode()));

    // Integer part: digits, optionally grouped in threes after the first group.
    qsizetype digitsInGroup = 0;
    qsizetype integerDigits = 0;
    bool grouped = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (isAsciiDigit(c)) {
            number.append(char(c.unicode()));
            ++digitsInGroup;
            ++integerDigits;
        } else if (!settings.groupSeparator.isNull() && c == settings.groupSeparator) {
            if (digitsInGroup == 0 || (grouped && digitsInGroup != 3) || digitsInGroup > 3)
                return std::nullopt;
            grouped = true;
            digitsInGroup = 0;
        } else {
            break;
        }
    }
    if (grouped && digitsInGroup != 3)
        return std::nullopt;

    qsizetype fractionDigits = 0;
    if (i < trimmed.size() && trimmed[i] == settings.decimalPoint) {
        number.append('.');
        for (++i; i < trimmed.size() && isAsciiDigit(trimmed[i]); ++i) {
            number.append(char(trimmed[i].unicode()));
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;
    i += readExponent(trimmed, i, number);
    if (i != trimmed.size())
        return std::nullopt;
    return finiteOrNothing(number);
}

std::optional<qint16> Regional::toInt16(double value)
{
    return roundToRange<qint16>(value);
}

std::optional<qint32> Regional::toInt32(double value)
{
    return roundToRange<qint32>(value);
}

std::optional<qint32> Regional::wholeNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const bool hasSign = trimmed.startsWith(QLatin1Char('+')) || trimmed.startsWith(QLatin1Char('-'));
    const QStringView digits = trimmed.mid(hasSign ? 1 : 0);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return std::nullopt;
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

QString Regional::plainNumber(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15).toUpper();
    text.replace(QLatin1Char('.'), current().decimalPoint);
    return text;
}

QString Regional::plainInteger(qint64 value)
{
    return QString::number(value);
}

QString Regional::standard(double value)
{
    const Settings &settings = current();
    if (!std::isfinite(value))
        return QString::number(value);
    // Rounded as the value reads in 15 significant digits, halves away from zero, as a person
    // rounds: 2.675 (stored as 2.67499999...) gives 2,68.
    const QString digits = roundedCents(std::fabs(value));
    const QStringView integer = QStringView(digits).chopped(2);

    QString text;
    text.reserve(integer.size() + integer.size() / 3 + 4);
    if (value < 0 && digits.count(QLatin1Char('0')) != digits.size())
        text.append(QLatin1Char('-'));
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0 && !settings.groupSeparator.isNull())
            text.append(settings.groupSeparator);
        text.append(integer[i]);
    }
    text.append(settings.decimalPoint);
    text.append(QStringView(digits).last(2));
    return text;
}

QString Regional::shortDate(QDate date)
{
    return date.toString(current().shortDateFormat);
}

std::optional<QDate> Regional::toDate(QStringView text)
{
    return toDate(text, current());
}

std::optional<QDate> Regional::toDate(QStringView text, const Settings &settings)
{
    const QString &format = settings.shortDateFormat;
    const QStringView trimmed = text.trimmed();

    // Three numbers separated by / - . in the locale's field order; years of one or two
    // digits fall in 1930..2029.
    int parts[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    int field = 0;
    for (QChar c : trimmed) {
        if (isAsciiDigit(c)) {
            if (lengths[field] == 4)
                return std::nullopt;
            parts[field] = parts[field] * 10 + (c.unicode() - u'0');
            ++lengths[field];
        } else if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            if (lengths[field] == 0 || field == 2)
                return std::nullopt;
            ++field;
        } else {
            return std::nullopt;
        }
    }
    if (field != 2 || lengths[2] == 0)
        return std::nullopt;

    // Which of the three typed numbers is the day, the month and the year.
    const qsizetype at[3]
        = {format.indexOf(QLatin1Char('d')), format.indexOf(QLatin1Char('M')), format.indexOf(QLatin1Char('y'))};
    auto slotOf = [&at](int which) {
        int slot = 0;
        for (const qsizetype other : at) {
            if (other < at[which])
                ++slot;
        }
        return slot;
    };
    const int daySlot = slotOf(0);
    const int monthSlot = slotOf(1);
    const int yearSlot = slotOf(2);
    if (lengths[daySlot] > 2 || lengths[monthSlot] > 2 || lengths[yearSlot] == 3)
        return std::nullopt;

    int year = parts[yearSlot];
    if (lengths[yearSlot] <= 2)
        year += year < 30 ? 2000 : 1900;
    const int month = parts[monthSlot];
    const int day = parts[daySlot];

    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
