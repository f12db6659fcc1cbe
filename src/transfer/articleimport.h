#pragma once

#include "base/fileidentity.h"
#include "data/articlelist.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Connection;
class Dialogs;

// The article import behind the transfer window (ProcesoImportar): reads the article list by
// its rules (ArticleList) and updates or adds each article through the batched stored-data
// routines on the connection it is given. It talks to the user through the dialogs it is given.
class ArticleImport
{
public:
    using Problem = ArticleList::Problem;

    struct Outcome
    {
        // No failure at all, so the success question was asked.
        bool succeeded = false;
        // The user agreed to delete the file, and it is gone or was tried.
        bool fileDeleted = false;
        int records = 0;
        QList<Problem> problems;
        // Articles stored and not stored; an import stopped after repeated failures says so.
        int stored = 0;
        int notStored = 0;
        bool stopped = false;
    };

    // Shown while a long import runs: records read so far and how far through the file.
    struct Progress
    {
        std::function<void(int records, int percent)> update;
        std::function<void()> close;
    };

    ArticleImport(QString path, Connection &connection, Dialogs &dialogs);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // How long an import runs before the progress is shown.
    void setProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }
    void setBatchSize(int records) { m_batchSize = records; }

    Outcome run();

private:
    void reportProblems(const QList<Problem> &problems, int imported) const;
    bool askToStop(const DbError &error, int line) const;
    void reportStopped(const Outcome &outcome) const;
    bool askToDelete() const;
    void deleteFile(const std::optional<FileIdentity> &read) const;

    QString m_path;
    Connection &m_connection;
    Dialogs &m_dialogs;
    Progress m_progress;
    int m_progressDelayMs = 500;
    int m_batchSize = 10000;
};
