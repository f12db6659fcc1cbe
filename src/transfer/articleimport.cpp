#include "articleimport.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "data/articlebatchwriter.h"
#include "data/connection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

ArticleImport::ArticleImport(QString path, Connection &connection, Dialogs &dialogs)
    : m_path(std::move(path))
    , m_connection(connection)
    , m_dialogs(dialogs)
{ }

void ArticleImport::reportProblems(const QList<Problem> &problems, int imported) const
{
    m_dialogs.message(ArticleList::problemsText(m_path, problems, imported), MessageTitles::attention(),
        Dialogs::Warning, Dialogs::Ok);
}

bool ArticleImport::askToStop(const DbError &error, int line) const
{
    return m_dialogs.message(QStringLiteral("El artículo de la línea %1 tampoco se pudo guardar, por el mismo error:\n"
                                            "%2\n\n¿Desea detener la importación?")
                                 .arg(line)
                                 .arg(error.description),
               MessageTitles::attention(), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::Yes)
        == Dialogs::Yes;
}

void ArticleImport::reportStopped(const Outcome &outcome) const
{
    m_dialogs.message(QStringLiteral("La importación se detuvo.\nArtículos guardados: %1; sin guardar: %2.\n"
                                     "El archivo '%3' no se eliminó: una vez resuelto el problema, impórtelo otra vez.")
                          .arg(outcome.stored)
                          .arg(outcome.notStored)
                          .arg(QDir::toNativeSeparators(m_path)),
        MessageTitles::attention(), Dialogs::Warning, Dialogs::Ok);
}

bool ArticleImport::askToDelete() const
{
    return m_dialogs.message(
               QStringLiteral("La importación se realizó exitosamente.\nDesea eliminar el archivo importado?."),
               QStringLiteral("Importación"), Dialogs::NoIcon, Dialogs::Yes | Dialogs::No)
        == Dialogs::Yes;
}

void ArticleImport::deleteFile(const std::optional<FileIdentity> &read) const
{
    // Only the file that was read goes: one put in its place, or changed, while the question
    // was up is somebody else's work.
    const std::optional<FileIdentity> now = FileIdentity::of(m_path);
    const QString shown = QDir::toNativeSeparators(m_path);
    if (!read || !now || !(*now == *read)) {
        m_dialogs.message(QStringLiteral("El archivo '%1' cambió o fue reemplazado después de importarlo; no se "
                                         "eliminó. Revíselo: puede traer artículos que no se importaron.")
                              .arg(shown),
            MessageTitles::attention(), Dialogs::Warning, Dialogs::Ok);
        return;
    }
    if (!QFile::remove(m_path))
        m_dialogs.message(QStringLiteral("No se pudo eliminar el archivo '%1'.").arg(shown), MessageTitles::attention(),
            Dialogs::Warning, Dialogs::Ok);
}

ArticleImport::Outcome ArticleImport::run()
{
    Outcome outcome;
    auto refuse = [this, &outcome](const QString &why) {
        m_dialogs.message(why, MessageTitles::attention(), Dialogs::Critical, Dialogs::Ok);
        return outcome;
    };
    if (MaybeError gone = m_connection.checkStillInPlace())
        return refuse(gone->description);
    ListFormat format = ListFormat::es();
    if (MaybeError error = ListFormat::read(m_connection, format))
        return refuse(error->description);
    // What was read is what may be deleted afterwards.
    const std::optional<FileIdentity> read = FileIdentity::of(m_path);
    QString text;
    if (MaybeError error = ArticleList::readFile(m_path, text))
        return refuse(error->description);
    ArticleList list(std::move(text), format);
    if (MaybeError refused = list.refusal(m_path))
        return refuse(
            refused->description + QStringLiteral("\nSi la lista usa otro formato, elíjalo en Configuración."));

    bool failed = false;
    ArticleBatchWriter::Listener listener;
    listener.givenUp = [this, &failed](ArticleBatchWriter::Write write, int) {
        m_dialogs.message(write == ArticleBatchWriter::Write::Update
                ? QStringLiteral("Ocurrio un error al importar los artículos(update).")
                : QStringLiteral("Ocurrio un error al importar los artículos(insert)."),
            MessageTitles::attention(), Dialogs::Critical, Dialogs::Ok);
        failed = true;
    };
    listener.sameFailure = [this](const DbError &error, int line) { return askToStop(error, line); };

    QElapsedTimer clock;
    clock.start();
    qint64 nextProgressMs = m_progressDelayMs;
    bool progressShown = false;
    {
        const StoredRoutines routines(m_connection, m_dialogs);
        ArticleBatchWriter writer(routines, listener, m_batchSize);
        ArticleRecord article;
        int line = 0;
        while (!writer.stopped() && list.next(article, line)) {
            writer.store(article, line);
            // The clock is read every few articles only, to keep a long import fast.
            if (m_progress.update && (list.records() & 0x3F) == 0 && clock.elapsed() >= nextProgressMs) {
                m_progress.update(list.records(), list.percent());
                progressShown = true;
                nextProgressMs = clock.elapsed() + 100;
            }
        }
        outcome.records = list.records();
        outcome.problems = list.problems();
        writer.finish();
        outcome.stored = writer.storedCount();
        outcome.notStored = writer.notStoredCount();
        outcome.stopped = writer.stopped();
    }
    if (progressShown && m_progress.close)
        m_progress.close();

    if (outcome.stopped) {
        reportStopped(outcome);
        return outcome;
    }
    if (!outcome.problems.isEmpty()) {
        reportProblems(outcome.problems, outcome.stored);
        failed = true;
    }
    if (failed)
        return outcome;

    outcome.succeeded = true;
    if (askToDelete()) {
        outcome.fileDeleted = true;
        deleteFile(read);
    }
    return outcome;
}
