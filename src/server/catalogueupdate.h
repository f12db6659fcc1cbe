#pragma once

#include "data/dberror.h"

#include <functional>
#include <optional>

class Connection;
class Dialogs;
class ServerConnection;

// Brings down the articles of the company catalogue changed since the last bring-down and
// applies them with the article list's add-or-replace rules (ArticleBatchWriter), a page at a
// time in change order. The stamp of the last article applied is stored once its page is
// committed, so a bring-down that stops or is cancelled leaves the catalogue exactly as far
// as the stamp says, and the next one goes on from there.
class CatalogueUpdate
{
public:
    struct Result
    {
        int total = 0; // articles changed on the server
        int applied = 0;
        bool cancelled = false;
        std::optional<DbError> stoppedBy;

        // The message the user reads.
        QString text() const;
    };
    // Told every few articles; false cancels the bring-down.
    using Progress = std::function<bool(int done, int total)>;

    CatalogueUpdate(ServerConnection &server, Connection &local, Dialogs &dialogs);
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setPageSize(int articles) { m_pageSize = qMax(1, articles); }
    Result run();

    // Connects as the salesperson of the stored settings and brings the catalogue down.
    static Result bringDown(Connection &local, Dialogs &dialogs, const Progress &progress = {});

private:
    ServerConnection &m_server;
    Connection &m_local;
    Dialogs &m_dialogs;
    Progress m_progress;
    int m_pageSize = 10000;
};
