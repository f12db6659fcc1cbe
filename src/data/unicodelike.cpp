#include "unicodelike.h"

#include <QChar>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Folded text is always well-formed UTF-8, so these bytes can stand for the wildcards.
constexpr char AnyRun = char(0xFF);
constexpr char AnyOne = char(0xFE);

constexpr char32_t combiningAcute = 0x0301;
constexpr char32_t combiningTilde = 0x0303;
constexpr char32_t combiningDiaeresis = 0x0308;
constexpr char32_t smallEnye = 0x00F1;

inline bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

inline bool isPlainVowel(char byte)
{
    return byte == 'a' || byte == 'e' || byte == 'i' || byte == 'o' || byte == 'u';
}

// Lenient UTF-8 decoding: a malformed byte stands for itself.
inline char32_t nextCodePoint(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char b = *p++;
    if (b < 0x80)
        return b;
    int extra = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        c = b & 0x07;
    } else {
        return b;
    }
    if (end - p < extra)
        return b;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return b;
        c = (c << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return c;
}

inline char *writeUtf8(char *w, char32_t c)
{
    if (c < 0x80) {
        *w++ = char(c);
    } else if (c < 0x800) {
        *w++ = char(0xC0 | (c >> 6));
        *w++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *w++ = char(0xE0 | (c >> 12));
        *w++ = char(0x80 | ((c >> 6) & 0x3F));
        *w++ = char(0x80 | (c & 0x3F));
    } else {
        *w++ = char(0xF0 | (c >> 18));
        *w++ = char(0x80 | ((c >> 12) & 0x3F));
        *w++ = char(0x80 | ((c >> 6) & 0x3F));
        *w++ = char(0x80 | (c & 0x3F));
    }
    return w;
}

inline char32_t foldLetter(char32_t c)
{
    c = QChar::toCaseFolded(c);
    switch (c) {
    case U'á':
    case U'ä':
        return U'a';
    case U'é':
    case U'ë':
        return U'e';
    case U'í':
    case U'ï':
        return U'i';
    case U'ó':
    case U'ö':
        return U'o';
    case U'ú':
    case U'ü':
        return U'u';
    default:
        return c;
    }
}

// Writes the folded form of a code point at w (room for four bytes) after what begin..w already
// holds: a combining accent joins the letter before it as its precomposed form would.
char *writeFolded(char *begin, char *w, char32_t c)
{
    if (w > begin) {
        if ((c == combiningAcute || c == combiningDiaeresis) && isPlainVowel(w[-1]))
            return w;
        if (c == combiningTilde && w[-1] == 'n')
            return writeUtf8(w - 1, smallEnye);
    }
    return writeUtf8(w, foldLetter(c));
}

// Folds a whole UTF-8 text into the buffer, which only ever grows; returns the folded text.
std::string_view foldText(const unsigned char *text, int bytes, std::string &buffer)
{
    // A code point never folds to more than twice its bytes.
    const size_t room = size_t(bytes) * 2 + 4;
    if (buffer.size() < room)
        buffer.resize(room);
    char *const begin = buffer.data();
    char *w = begin;
    const unsigned char *p = text;
    const unsigned char *const end = text + bytes;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *w++ = char((b >= 'A' && b <= 'Z') ? b | 0x20 : b);
            ++p;
        } else {
            w = writeFolded(begin, w, nextCodePoint(p, end));
        }
    }
    return {begin, size_t(w - begin)};
}

// A pattern cut at each %: the first piece starts the text, the last one ends it, and those in
// between are found, each leftmost, in that order. _ stays inside a piece as AnyOne.
using Pattern = std::vector<std::string>;

void appendFolded(std::string &piece, char32_t c)
{
    const size_t used = piece.size();
    piece.resize(used + 4);
    char *const end = writeFolded(piece.data(), piece.data() + used, c);
    piece.resize(size_t(end - piece.data()));
}

Pattern *compilePattern(const unsigned char *pattern, int bytes, char32_t escape)
{
    auto *compiled = new Pattern(1);
    const unsigned char *p = pattern;
    const unsigned char *const end = pattern + bytes;
    while (p < end) {
        const char32_t c = nextCodePoint(p, end);
        if (escape && c == escape && p < end)
            appendFolded(compiled->back(), nextCodePoint(p, end));
        else if (c == '%')
            compiled->emplace_back();
        else if (c == '_')
            compiled->back().push_back(AnyOne);
        else
            appendFolded(compiled->back(), c);
    }
    return compiled;
}

inline size_t codePointBytes(char lead)
{
    const auto b = static_cast<unsigned char>(lead);
    return b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

// Whether the piece matches the text at `at`; `end` receives where the match ends.
bool matchesAt(std::string_view piece, std::string_view text, size_t at, size_t &end)
{
    size_t t = at;
    for (const char c : piece) {
        if (t >= text.size())
            return false;
        if (c == AnyOne)
            t = std::min(text.size(), t + codePointBytes(text[t]));
        else if (text[t++] != c)
            return false;
    }
    end = t;
    return true;
}

// Finds the piece's leftmost match at or after `from`; the earliest end leaves the most room.
bool findPiece(std::string_view piece, std::string_view text, size_t from, size_t &end)
{
    const std::string_view literal = piece.substr(0, piece.find(AnyOne));
    if (literal.empty()) {
        for (size_t at = from; at <= text.size(); at += at < text.size() ? codePointBytes(text[at]) : 1) {
            if (matchesAt(piece, text, at, end))
                return true;
        }
        return false;
    }
    for (size_t at = text.find(literal, from); at != std::string_view::npos; at = text.find(literal, at + 1)) {
        if (matchesAt(piece, text, at, end))
            return true;
    }
    return false;
}

// Whether the piece matches the end of the text, starting at or after `from`.
bool matchesEnd(std::string_view piece, std::string_view text, size_t from)
{
    size_t t = text.size();
    for (size_t i = piece.size(); i-- > 0;) {
        if (t <= from)
            return false;
        --t;
        if (piece[i] == AnyOne) {
            while (t > from && isContinuation(text[t]))
                --t;
        } else if (text[t] != piece[i]) {
            return false;
        }
    }
    return true;
}

bool matches(const Pattern &pattern, std::string_view text)
{
    size_t at = 0;
    if (pattern.size() == 1)
        return matchesAt(pattern.front(), text, 0, at) && at == text.size();
    if (!matchesAt(pattern.front(), text, 0, at))
        return false;
    for (size_t i = 1; i + 1 < pattern.size(); ++i) {
        if (!findPiece(pattern[i], text, at, at))
            return false;
    }
    return matchesEnd(pattern.back(), text, at);
}

void deletePattern(void *pattern)
{
    delete static_cast<Pattern *>(pattern);
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }

    char32_t escape = 0;
    if (argc == 3) {
        const auto *e = sqlite3_value_text(argv[2]);
        const int bytes = sqlite3_value_bytes(argv[2]);
        const unsigned char *p = e;
        if (bytes == 0 || (nextCodePoint(p, e + bytes), p != e + bytes)) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        p = e;
        escape = nextCodePoint(p, e + bytes);
    }

    // The pattern is a constant of the statement: compile it once and keep it with it.
    const unsigned char *patternText = sqlite3_value_text(argv[0]);
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    auto *pattern = static_cast<Pattern *>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<Pattern> uncached;
    if (!pattern) {
        sqlite3_set_auxdata(context, 0, compilePattern(patternText, patternBytes, escape), deletePattern);
        pattern = static_cast<Pattern *>(sqlite3_get_auxdata(context, 0));
    }
    if (!pattern) {
        // SQLite drops auxiliary data at once when the pattern varies from row to row.
        uncached.reset(compilePattern(patternText, patternBytes, escape));
        pattern = uncached.get();
    }

    thread_local std::string buffer;
    const std::string_view text = foldText(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]), buffer);
    sqlite3_result_int(context, matches(*pattern, text) ? 1 : 0);
}

// ñ sorts right after n: every other code point keeps its place, twice as far apart.
inline char32_t sortWeight(char32_t c)
{
    return c == smallEnye ? char32_t('n') * 2 + 1 : c * 2;
}

// Reads a text's letters one by one as foldText() writes them, so that two texts are compared
// only as far as they agree: names mostly differ within their first letters.
class FoldedLetters
{
public:
    FoldedLetters(const char *text, int bytes)
        : m_p(reinterpret_cast<const unsigned char *>(text))
        , m_end(m_p + bytes)
    { }

    bool atEnd() const { return m_p >= m_end; }

    char32_t next()
    {
        const unsigned char b = *m_p;
        char32_t letter = 0;
        if (b < 0x80) {
            ++m_p;
            letter = (b >= 'A' && b <= 'Z') ? b | 0x20 : b;
        } else {
            letter = foldLetter(nextCodePoint(m_p, m_end));
        }
        if (letter < 0x80 && isPlainVowel(char(letter))) {
            // An accent written as a combining mark after a vowel is no letter of its own.
            while (followedBy(combiningAcute) || followedBy(combiningDiaeresis))
                m_p += 2;
        } else if (letter == 'n' && followedBy(combiningTilde)) {
            m_p += 2;
            letter = smallEnye;
        }
        return letter;
    }

private:
    // The three combining marks are two bytes each: 0xCC and 0x81, 0x83 or 0x88.
    bool followedBy(char32_t mark) const
    {
        return m_end - m_p >= 2 && m_p[0] == 0xCC && m_p[1] == 0x80 + (mark & 0x3F);
    }

    const unsigned char *m_p;
    const unsigned char *m_end;
};

int compareFolded(const char *a, int aBytes, const char *b, int bBytes)
{
    FoldedLetters lettersA(a, aBytes);
    FoldedLetters lettersB(b, bBytes);
    while (!lettersA.atEnd() && !lettersB.atEnd()) {
        const char32_t letterA = lettersA.next();
        const char32_t letterB = lettersB.next();
        if (letterA != letterB)
            return sortWeight(letterA) < sortWeight(letterB) ? -1 : 1;
    }
    if (lettersA.atEnd() && lettersB.atEnd())
        return 0;
    return lettersA.atEnd() ? -1 : 1;
}

int spanishCollation(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    return spanishCompare(static_cast<const char *>(a), aBytes, static_cast<const char *>(b), bBytes);
}

} // namespace

bool registerUnicodeLike(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

bool registerSpanishCollation(sqlite3 *db)
{
    return sqlite3_create_collation_v2(db, "SPANISH", SQLITE_UTF8, nullptr, spanishCollation, nullptr) == SQLITE_OK;
}

int spanishCompare(const char *a, int aBytes, const char *b, int bBytes)
{
    if (const int byLetters = compareFolded(a, aBytes, b, bBytes))
        return byLetters;
    const int byBytes = std::memcmp(a, b, size_t(std::min(aBytes, bBytes)));
    if (byBytes != 0)
        return byBytes < 0 ? -1 : 1;
    return aBytes == bBytes ? 0 : (aBytes < bBytes ? -1 : 1);
}
