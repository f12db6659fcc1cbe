#pragma once

#include <QByteArray>

struct sqlite3;

// Both read text as a Spanish reader does: case does not count, nor does an acute accent or a
// diaeresis on a vowel (also written as a combining mark), while ñ is a letter of its own.

// Replaces SQLite's LIKE (ASCII-only case folding) so that "cancion" finds "CANCIÓN" and
// "ñandú" finds "ÑANDÚ", but "ano" does not find "AÑO". % and _ are the wildcards (_ takes one
// letter, accented or not); LIKE ... ESCAPE is honoured.
bool registerUnicodeLike(sqlite3 *db);

// Registers the collation SPANISH, which orders by spanishCompare().
bool registerSpanishCollation(sqlite3 *db);

// Orders two UTF-8 texts by their folded letters, ñ between n and o; texts that fold alike go by
// their exact bytes, so that only identical texts are equal and the order is total.
int spanishCompare(const char *a, int aBytes, const char *b, int bBytes);
inline int spanishCompare(const QByteArray &a, const QByteArray &b)
{
    return spanishCompare(a.constData(), int(a.size()), b.constData(), int(b.size()));
}
