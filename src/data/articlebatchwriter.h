#pragma once

#include "dberror.h"
#include "storedroutines.h"
#include "transaction.h"

#include <QList>

#include <functional>
#include <optional>

// AgregoArticulo and ModificoArticulo for a whole article list: the same statements, run inside
// one transaction for each batch of articles, so that a long import costs a few commits instead
// of one per article. A crash loses at most the open batch; the catalogue stays consistent and
// storing the same articles again completes it.
//
// Failures keep the routines' Retry/Cancel frame: the batch stored so far is committed first,
// then the failing article is written on its own through the "Error: N" box, exactly as the
// single routines do. If the engine threw the open batch away, its articles are written again
// one by one the same way. An article the user gives up on is reported through `givenUp`.
// When the next article fails as the one given up on did (a full disk fails them all), the
// box is not shown again: `sameFailure` decides whether the writer stops there.
class ArticleBatchWriter
{
public:
    enum class Write { Insert, Update };

    struct Listener
    {
        std::function<void(Write write, int tag)> givenUp;
        // True stops the writer: nothing more is stored or asked.
        std::function<bool(const DbError &error, int tag)> sameFailure;
    };

    ArticleBatchWriter(const StoredRoutines &routines, Listener listener, int batchSize = 10000);
    // Commits the open batch.
    ~ArticleBatchWriter();
    ArticleBatchWriter(const ArticleBatchWriter &) = delete;
    ArticleBatchWriter &operator=(const ArticleBatchWriter &) = delete;

    // Updates the article when its code is known (ModificoArticulo), adds it otherwise
    // (AgregoArticulo). The tag comes back through the listener.
    void store(const ArticleRecord &article, int tag);
    // Commits the open batch.
    void finish();

    bool stopped() const { return m_stopped; }
    // Articles committed so far, and articles given up on (stopping counts the one it stopped on).
    int storedCount() const { return m_stored; }
    int notStoredCount() const { return m_notStored; }

private:
    struct Pending
    {
        ArticleRecord article;
        int tag = 0;
        Write write = Write::Insert;
    };

    MaybeError writeOne(const ArticleRecord &article, Write &write);
    void commitBatch();
    // The open batch could not be committed, or the engine ended it: write its articles alone.
    void recover();
    void storeAlone(const Pending &pending);

    const StoredRoutines &m_routines;
    Listener m_listener;
    int m_batchSize;
    std::optional<Transaction> m_batch;
    QList<Pending> m_pending;
    std::optional<DbError> m_lastGivenUp;
    bool m_stopped = false;
    int m_stored = 0;
    int m_notStored = 0;
};
