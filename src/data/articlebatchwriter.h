#pragma once

#include "dberror.h"
#include "storedroutines.h"

#include <QList>

#include <functional>

class Connection;
struct sqlite3;
struct sqlite3_stmt;

// AgregoArticulo and ModificoArticulo for a whole article list: prepared statements, and one
// transaction for each batch of articles, so that a long import costs a few commits instead of
// one per article. A crash loses at most the open batch; the catalogue stays consistent and
// storing the same articles again completes it.
//
// Failures keep the routines' Retry/Cancel frame: the batch stored so far is committed first,
// then the failing article is written on its own through the "Error: N" box, exactly as the
// single routines do. If the engine threw the open batch away, its articles are written again
// one by one the same way. An article the user gives up on is reported through `givenUp`;
// every other article stays stored.
class ArticleBatchWriter
{
public:
    enum class Write { Insert, Update };
    using GivenUp = std::function<void(Write write, int tag)>;

    ArticleBatchWriter(Connection &connection, GivenUp givenUp, int batchSize = 10000);
    // Commits the open batch.
    ~ArticleBatchWriter();
    ArticleBatchWriter(const ArticleBatchWriter &) = delete;
    ArticleBatchWriter &operator=(const ArticleBatchWriter &) = delete;

    // Whether the catalogue holds at least one article with the code.
    MaybeError Busco_Articulo(const QString &codArt, bool &found);
    // Updates the article when its code is known (ModificoArticulo), adds it otherwise
    // (AgregoArticulo). The tag comes back through givenUp.
    void store(const ArticleRecord &article, int tag);
    // Commits the open batch.
    void finish();

private:
    struct Pending
    {
        ArticleRecord article;
        int tag = 0;
        Write write = Write::Insert;
    };

    MaybeError prepareStatements();
    MaybeError error() const;
    MaybeError exec(const char *sql);
    MaybeError writeOne(const ArticleRecord &article, Write &write);
    void commitBatch();
    // The open batch could not be committed, or the engine ended it: write its articles alone.
    void recover();
    void storeAlone(const Pending &pending);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_lookup = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    sqlite3_stmt *m_update = nullptr;
    GivenUp m_givenUp;
    int m_batchSize;
    bool m_inTransaction = false;
    QList<Pending> m_pending;
};
