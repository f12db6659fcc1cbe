#pragma once

struct sqlite3;

// Replaces SQLite's LIKE (ASCII-only case folding) with one that folds every letter,
// so "ñandú" finds "ÑANDÚ". % and _ are the wildcards; LIKE ... ESCAPE is honoured.
bool registerUnicodeLike(sqlite3 *db);
