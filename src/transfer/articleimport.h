#pragma once

#include "articlelistreader.h"
#include "data/storedroutines.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Connection;
class Dialogs;

// The article import behind the transfer window (ProcesoImportar): reads the article list,
// converts fields 4 to 6, and updates or adds each article through the batched stored-data
// routines on the connection it is given. It talks to the user through the dialogs it is given.
class ArticleImport
{
public:
    // A record left out, with the line it starts on and why.
    struct Problem
    {
        int line = 0;
        QString reason;
    };

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

    // Fields 4 to 6 as the catalogue stores them: stock by its leading number rounded to a
    // 32-bit integer, price and date by the regional rules. The reason when they do not convert.
    static std::optional<ArticleRecord> convert(const ArticleListRecord &record, QString *reason = nullptr);

    // Files beyond this size are refused before they are read.
    static constexpr qint64 maximumFileSize = 512LL * 1024 * 1024;

private:
    std::optional<QString> readFile(QString &text) const;
    void reportProblems(const QList<Problem> &problems) const;
    bool askToStop(const DbError &error, int line) const;
    void reportStopped(const Outcome &outcome) const;
    bool askToDelete() const;

    QString m_path;
    Connection &m_connection;
    Dialogs &m_dialogs;
    Progress m_progress;
    int m_progressDelayMs = 500;
    int m_batchSize = 10000;
};
