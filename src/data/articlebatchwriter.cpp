#include "articlebatchwriter.h"

#include "connection.h"

namespace {

bool sameError(const DbError &a, const DbError &b)
{
    return a.number == b.number && a.description == b.description;
}

} // namespace

ArticleBatchWriter::ArticleBatchWriter(const StoredRoutines &routines, Listener listener, int batchSize)
    : m_routines(routines)
    , m_listener(std::move(listener))
    , m_batchSize(qMax(1, batchSize))
{ }

ArticleBatchWriter::~ArticleBatchWriter()
{
    finish();
}

MaybeError ArticleBatchWriter::writeOne(const ArticleRecord &article, Write &write)
{
    bool found = false;
    if (MaybeError failed = m_routines.Busco_Articulo(article.codArt, found))
        return failed;
    write = found ? Write::Update : Write::Insert;
    return found ? m_routines.updateArticle(article) : m_routines.insertArticle(article);
}

void ArticleBatchWriter::store(const ArticleRecord &article, int tag)
{
    if (m_stopped)
        return;
    Pending pending{article, tag, Write::Insert};
    if (!m_batch) {
        m_batch.emplace(m_routines.connection());
        // Another program holding the file: this article goes alone, through the box.
        if (m_batch->begin()) {
            m_batch.reset();
            storeAlone(pending);
            return;
        }
    }
    if (writeOne(article, pending.write)) {
        // Keep what the batch stored, then let the user decide about this article alone.
        if (!m_batch->isStillOpen()) {
            m_batch.reset();
            recover();
        } else {
            commitBatch();
        }
        storeAlone(pending);
        return;
    }
    m_pending.append(pending);
    if (m_pending.size() >= m_batchSize)
        commitBatch();
}

void ArticleBatchWriter::finish()
{
    commitBatch();
}

void ArticleBatchWriter::commitBatch()
{
    if (!m_batch)
        return;
    const MaybeError failed = m_batch->commit();
    m_batch.reset();
    if (!failed) {
        m_stored += int(m_pending.size());
        m_pending.clear();
        return;
    }
    recover();
}

void ArticleBatchWriter::recover()
{
    const QList<Pending> lost = std::exchange(m_pending, {});
    for (const Pending &pending : lost)
        storeAlone(pending);
}

void ArticleBatchWriter::storeAlone(const Pending &pending)
{
    if (m_stopped) {
        ++m_notStored;
        return;
    }
    Write write = pending.write;
    MaybeError first = writeOne(pending.article, write);
    if (!first) {
        ++m_stored;
        m_lastGivenUp.reset();
        return;
    }
    if (m_lastGivenUp && sameError(*first, *m_lastGivenUp) && m_listener.sameFailure
        && m_listener.sameFailure(*first, pending.tag)) {
        m_stopped = true;
        ++m_notStored;
        return;
    }
    // The first failure was not shown yet: the frame shows it, and tries again on Retry.
    DbError last = *first;
    bool shownFirst = false;
    const bool stored = m_routines.withRetry([&]() -> MaybeError {
        if (!std::exchange(shownFirst, true))
            return last;
        MaybeError again = writeOne(pending.article, write);
        if (again)
            last = *again;
        return again;
    });
    if (stored) {
        ++m_stored;
        m_lastGivenUp.reset();
        return;
    }
    ++m_notStored;
    m_lastGivenUp = last;
    if (m_listener.givenUp)
        m_listener.givenUp(write, pending.tag);
}
