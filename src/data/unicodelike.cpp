#include "unicodelike.h"

#include <QChar>

#include <sqlite3.h>

#include <memory>
#include <string>

namespace {

// Pattern wildcards live outside the range of code points.
constexpr char32_t AnyRun = 0xFFFFFFFF;
constexpr char32_t AnyOne = 0xFFFFFFFE;

inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
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

void foldText(const unsigned char *text, int bytes, std::u32string &out)
{
    // A code point never takes more than one byte's room, so size once and write straight.
    out.resize(size_t(bytes));
    char32_t *write = out.data();
    const unsigned char *p = text;
    const unsigned char *end = text + bytes;
    while (p < end) {
        if (*p < 0x80) {
            const unsigned char c = *p++;
            *write++ = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        } else {
            *write++ = fold(nextCodePoint(p, end));
        }
    }
    out.resize(size_t(write - out.data()));
}

std::u32string *compilePattern(const unsigned char *pattern, int bytes, char32_t escape)
{
    auto *compiled = new std::u32string;
    compiled->reserve(bytes);
    const unsigned char *p = pattern;
    const unsigned char *end = pattern + bytes;
    while (p < end) {
        char32_t c = nextCodePoint(p, end);
        if (escape && c == escape && p < end)
            compiled->push_back(fold(nextCodePoint(p, end)));
        else if (c == '%')
            compiled->push_back(AnyRun);
        else if (c == '_')
            compiled->push_back(AnyOne);
        else
            compiled->push_back(fold(c));
    }
    return compiled;
}

bool matches(const std::u32string &pattern, const std::u32string &text)
{
    size_t p = 0;
    size_t t = 0;
    size_t runAt = std::u32string::npos;
    size_t runText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == AnyOne || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == AnyRun) {
            runAt = p++;
            runText = t;
        } else if (runAt != std::u32string::npos) {
            p = runAt + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == AnyRun)
        ++p;
    return p == pattern.size();
}

void deletePattern(void *pattern)
{
    delete static_cast<std::u32string *>(pattern);
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
    auto *pattern = static_cast<std::u32string *>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<std::u32string> uncached;
    if (!pattern) {
        sqlite3_set_auxdata(context, 0, compilePattern(patternText, patternBytes, escape), deletePattern);
        pattern = static_cast<std::u32string *>(sqlite3_get_auxdata(context, 0));
    }
    if (!pattern) {
        // SQLite drops auxiliary data at once when the pattern varies from row to row.
        uncached.reset(compilePattern(patternText, patternBytes, escape));
        pattern = uncached.get();
    }

    thread_local std::u32string text;
    foldText(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]), text);
    sqlite3_result_int(context, matches(*pattern, text) ? 1 : 0);
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
