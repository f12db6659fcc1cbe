#pragma once

#include "dberror.h"

#include <QString>
#include <QStringList>

#include <optional>

class Connection;

// The company server as this laptop reaches it, kept in the table SERVIDOR: where it is, which
// salesperson sends, and how far the catalogue has been brought down. No row means no server,
// and then nothing of the server is ever touched. No password is kept here.
struct ServerSettings
{
    QString host;
    int port = 0; // 0: libpq's own
    QString database;
    QString salesperson; // the salesperson's code on the server
    QString login; // empty: the salesperson's default one
    QString tlsMode; // libpq's sslmode; empty: libpq's own
    qint64 catalogueStamp = 0; // the highest change stamp of the catalogue brought down

    // The settings as the user types them.
    struct Typed
    {
        QString host;
        QString port;
        QString database;
        QString salesperson;
        QString login;
        QString tlsMode;
    };

    bool isConfigured() const { return !database.isEmpty(); }

    // libpq's TLS modes, in the order they are offered.
    static const QStringList &tlsModes();

    // The settings to store (with no database named, no server), or nullopt with why not.
    static std::optional<ServerSettings> validate(const Typed &typed, QString *refusal = nullptr);

    // Unconfigured settings when the table holds no row.
    static MaybeError read(Connection &connection, ServerSettings &settings);
    // Replaces the stored row (no server: no row). The catalogue stamp belongs to one company
    // database: it is kept only while the server and the database stay the same.
    static MaybeError write(Connection &connection, const ServerSettings &settings);
    // Records the catalogue brought down up to that stamp.
    static MaybeError storeStamp(Connection &connection, qint64 stamp);
};
