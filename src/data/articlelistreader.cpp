#include "articlelistreader.h"

#include <QStringDecoder>

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

QString ArticleListReader::decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
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
