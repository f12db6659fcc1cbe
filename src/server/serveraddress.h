#pragma once

#include "data/dberror.h"

#include <QByteArrayList>
#include <QList>
#include <QPair>
#include <QString>

// Where the company database is, read from a URL in libpq's form:
//   postgresql:///recorvan?host=/run/postgresql
//   postgresql://user@host:port/database?sslmode=require
// A password may come in the URL or be set for the run; it is never part of what is shown.
class ServerAddress
{
public:
    static constexpr int defaultConnectTimeout = 5;

    static MaybeError parse(const QString &url, ServerAddress &address);
    // The parts as the settings window keeps them; empty ones (and a port of 0) are libpq's own.
    static ServerAddress fromParts(
        const QString &host, int port, const QString &database, const QString &user, const QString &sslMode);

    // Empty parts are left to libpq's own defaults (environment, local socket, login name).
    QString host() const { return m_host; }
    int port() const { return m_port; }
    QString database() const { return m_database; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    // Seconds; always set, so that connecting never waits without end.
    int connectTimeout() const { return m_connectTimeout; }
    QString option(const QString &key) const;

    // The other connection parameters as the Qt driver takes them ("key='value';...").
    QString driverOptions() const;
    // Every parameter as libpq's keywords and values, for asking libpq directly.
    void libpqParameters(QByteArrayList &keywords, QByteArrayList &values) const;
    // The server as the user is told it: the host or socket folder, and the port when given.
    QString shownServer() const;

private:
    QString m_host;
    int m_port = -1;
    QString m_database;
    QString m_user;
    QString m_password;
    int m_connectTimeout = defaultConnectTimeout;
    QList<QPair<QString, QString>> m_options;
};
