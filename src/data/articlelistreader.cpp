#include "articlelistreader.h"

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// The characters Windows-1252 puts at 0x80..0x9F; the five unassigned bytes keep their
// control characters, as Windows itself converts them.
const char16_t windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

ArticleListReader::ArticleListReader(QString text)
    : m_text(std::move(text))
{ }

QString ArticleListReader::fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        out->unicode() = code >= 0x80 && code < 0xA0 ? windows1252High[code - 0x80] : char16_t(code);
        ++out;
    }
    return text;
}

namespace {

bool looksLikeUtf16(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    // Latin text in UTF-16 has a zero in every other byte; no list has zeros otherwise.
    const qsizetype head = qMin<qsizetype>(bytes.size(), 512);
    const qsizetype zeros = std::count(bytes.constBegin(), bytes.constBegin() + head, '\0');
    return head >= 4 && zeros * 4 >= head;
}

// The length of the valid UTF-8 sequence that starts at `at` with a byte above 0x7F; 0 when the
// bytes there are no UTF-8.
qsizetype utf8SequenceAt(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&bytes](qsizetype i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const unsigned lead = byte(at);
    qsizetype length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (qsizetype i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

} // namespace

ArticleListReader::Decoded ArticleListReader::decode(const QByteArray &bytes)
{
    if (looksLikeUtf16(bytes))
        return {Encoding::Utf16, {}, 0};
    bool multiByte = false;
    qsizetype firstBad = -1;
    for (qsizetype at = 0; at < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        if (const qsizetype length = utf8SequenceAt(bytes, at)) {
            multiByte = true;
            at += length;
            continue;
        }
        if (firstBad < 0)
            firstBad = at;
        if (multiByte)
            break;
        ++at;
    }
    if (firstBad < 0) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return {multiByte ? Encoding::Utf8 : Encoding::Ascii, text, 0};
    }
    if (!multiByte)
        return {Encoding::Windows1252, fromWindows1252(bytes), 0};
    // Lines counted as the reader counts them: CR LF, LF or CR.
    int line = 1;
    for (qsizetype at = 0; at < firstBad; ++at) {
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 >= bytes.size() || bytes[at + 1] != '\n')))
            ++line;
    }
    return {Encoding::Mixed, {}, line};
}

bool ArticleListReader::atLineEnd() const
{
    return !atEnd() && isLineEnd(m_text.at(m_pos));
}

void ArticleListReader::skipBlanks()
{
    while (!atEnd() && isBlank(m_text.at(m_pos)))
        ++m_pos;
}

void ArticleListReader::skipBlankLines()
{
    while (m_atLineStart) {
        qsizetype probe = m_pos;
        while (probe < m_text.size() && isBlank(m_text.at(probe)))
            ++probe;
        if (probe >= m_text.size()) {
            m_pos = probe;
            return;
        }
        if (!isLineEnd(m_text.at(probe)))
            return;
        m_pos = probe;
        consumeDelimiter();
    }
}

bool ArticleListReader::consumeDelimiter()
{
    // The end of the text ends a field as a line end does.
    if (atEnd()) {
        m_atLineStart = true;
        return true;
    }
    const QChar c = m_text.at(m_pos++);
    if (c == QLatin1Char(',')) {
        m_atLineStart = false;
        return false;
    }
    // CR LF counts as one line end; a lone CR or LF as one each.
    if (c == QLatin1Char('\r') && !atEnd() && m_text.at(m_pos) == QLatin1Char('\n'))
        ++m_pos;
    ++m_line;
    m_atLineStart = true;
    return true;
}

QString ArticleListReader::readField(bool &unclosedQuote)
{
    skipBlanks();
    // Scanned on the raw characters: this loop runs for every character of a long list.
    const QChar *const text = m_text.constData();
    const qsizetype size = m_text.size();
    qsizetype at = m_pos;
    auto endsBareField
        = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
    if (at < size && text[at] == QLatin1Char('"')) {
        const qsizetype start = ++at;
        while (at < size && text[at] != QLatin1Char('"') && !isLineEnd(text[at]))
            ++at;
        QString value(text + start, at - start);
        if (at >= size || text[at] != QLatin1Char('"')) {
            unclosedQuote = true;
            m_pos = at;
            return value;
        }
        ++at;
        // Anything between the closing quote and the delimiter is not part of the value.
        while (at < size && !endsBareField(text[at]))
            ++at;
        m_pos = at;
        return value;
    }
    const qsizetype start = at;
    while (at < size && !endsBareField(text[at]))
        ++at;
    m_pos = at;
    return QString(text + start, at - start);
}

ArticleListReader::Status ArticleListReader::next(ArticleListRecord &record)
{
    record = ArticleListRecord();
    skipBlankLines();
    if (atEnd())
        return Status::End;
    record.line = m_line;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        if (i > 0) {
            // A field that starts a line may follow blank lines. The text ending there cuts the
            // record short; ending right after a comma leaves an empty last field.
            skipBlankLines();
            if (atEnd() && m_atLineStart)
                return Status::Incomplete;
        }
        record.fields[i] = readField(record.unclosedQuote);
        consumeDelimiter();
    }
    return Status::Record;
}
