#include "connectdiagnosis.h"

#include "serveraddress.h"
#include "servererrornumber.h"

#include <QDeadlineTimer>

#include <libpq-fe.h>

#include <poll.h>

#include <memory>
#include <vector>

namespace {

struct PgConnCloser
{
    void operator()(PGconn *connection) const { PQfinish(connection); }
};
using PgConnection = std::unique_ptr<PGconn, PgConnCloser>;

// Keeps the parameters' bytes alive while libpq reads the pointers.
class Parameters
{
public:
    explicit Parameters(const ServerAddress &address)
        : m_timeoutMs(address.connectTimeout() * 1000)
    {
        address.libpqParameters(m_keywords, m_values);
    }

    void set(const QByteArray &keyword, const QByteArray &value)
    {
        const qsizetype at = m_keywords.indexOf(keyword);
        if (at < 0) {
            m_keywords.append(keyword);
            m_values.append(value);
        } else {
            m_values[at] = value;
        }
    }

    // Connects with the server's errors in their verbose form, which carries the SQLSTATE: the
    // one thing about a refusal that does not depend on the server's language.
    PgConnection connect()
    {
        PgConnection connection(PQconnectStartParams(keywords(), values(), 0));
        if (!connection || PQstatus(connection.get()) == CONNECTION_BAD)
            return connection;
        PQsetErrorVerbosity(connection.get(), PQERRORS_VERBOSE);
        // Asynchronous connecting leaves the time-out to the caller.
        QDeadlineTimer deadline(m_timeoutMs);
        PostgresPollingStatusType polled = PGRES_POLLING_WRITING;
        while (polled != PGRES_POLLING_OK && polled != PGRES_POLLING_FAILED) {
            pollfd socket{PQsocket(connection.get()), short(polled == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
            if (socket.fd < 0 || ::poll(&socket, 1, int(deadline.remainingTime())) <= 0)
                break;
            polled = PQconnectPoll(connection.get());
        }
        return connection;
    }
    PGPing ping() { return PQpingParams(keywords(), values(), 0); }

private:
    const char *const *keywords() { return pointers(m_keywords, m_keywordPointers); }
    const char *const *values() { return pointers(m_values, m_valuePointers); }

    static const char *const *pointers(const QByteArrayList &texts, std::vector<const char *> &into)
    {
        into.clear();
        for (const QByteArray &text : texts)
            into.push_back(text.constData());
        into.push_back(nullptr);
        return into.data();
    }

    int m_timeoutMs;
    QByteArrayList m_keywords;
    QByteArrayList m_values;
    std::vector<const char *> m_keywordPointers;
    std::vector<const char *> m_valuePointers;
};

QString withoutPassword(QString text, const QString &password)
{
    if (!password.isEmpty())
        text.replace(password, QStringLiteral("****"));
    return text.trimmed();
}

QString passwordFileShown(const ServerAddress &address)
{
    QString named = address.option(QStringLiteral("passfile"));
    if (!named.isEmpty())
        return named;
    const QString file = qEnvironmentVariable("PGPASSFILE");
    return file.isEmpty() ? QStringLiteral("~/.pgpass") : file;
}

} // namespace

DbError diagnoseConnectFailure(const ServerAddress &address, qint64 elapsedMs, const QString &driverText)
{
    const QString server = address.shownServer();
    const int timeout = address.connectTimeout();
    if (elapsedMs >= qint64(timeout) * 1000 - 250)
        return {ServerErrorNumber::TimedOut,
            QStringLiteral("El servidor %1 no respondió en %2 segundos: la red puede estar caída o muy lenta.")
                .arg(server)
                .arg(timeout)};

    Parameters parameters(address);
    const PgConnection attempt = parameters.connect();
    if (!attempt)
        return {ServerErrorNumber::ConnectFailed, QStringLiteral("No hay memoria para conectar con el servidor.")};
    const QString user = QString::fromUtf8(PQuser(attempt.get()));
    const QString database = QString::fromUtf8(PQdb(attempt.get()));
    const QString libpqText = withoutPassword(QString::fromUtf8(PQerrorMessage(attempt.get())), address.password());
    if (PQstatus(attempt.get()) == CONNECTION_OK)
        return {ServerErrorNumber::ConnectFailed,
            QStringLiteral("No se pudo conectar con el servidor %1: %2")
                .arg(server, withoutPassword(driverText, address.password()))};
    if (PQconnectionNeedsPassword(attempt.get()))
        return {ServerErrorNumber::PasswordNeeded,
            QStringLiteral("El servidor %1 pide la contraseña del usuario %2 y no se dio ninguna.").arg(server, user)};
    // "SSL" stays untranslated in every language libpq speaks.
    if (address.option(QStringLiteral("sslmode")) != QLatin1String("disable")
        && libpqText.contains(QLatin1String("SSL")))
        return {ServerErrorNumber::Tls,
            QStringLiteral("No se pudo establecer la conexión cifrada (TLS) con el servidor %1: %2")
                .arg(server, libpqText)};

    switch (parameters.ping()) {
    case PQPING_NO_RESPONSE:
        return {ServerErrorNumber::NoServer,
            QStringLiteral("No se pudo llegar al servidor %1: no hay un servidor en esa dirección o no hay red.")
                .arg(server)};
    case PQPING_REJECT:
        return {ServerErrorNumber::NotReady,
            QStringLiteral("El servidor %1 está arrancando o deteniéndose; pruebe de nuevo en un momento.")
                .arg(server)};
    case PQPING_NO_ATTEMPT:
        return {
            ServerErrorNumber::BadAddress, QStringLiteral("La dirección del servidor no es válida: %1").arg(libpqText)};
    case PQPING_OK:
        break;
    }

    // The server answers: the login or the database was refused. The same login entering
    // another database tells the two apart.
    parameters.set("dbname", database == QLatin1String("template1") ? "postgres" : "template1");
    if (PQstatus(parameters.connect().get()) == CONNECTION_OK)
        return {ServerErrorNumber::NoDatabase,
            QStringLiteral("No existe la base de datos %1 en el servidor %2, o el usuario %3 no puede entrar en ella.")
                .arg(database, server, user)};
    // Let in with its password but refused all the same (invalid_authorization_specification):
    // the office has kept the login out.
    if (PQconnectionUsedPassword(attempt.get()) && libpqText.contains(QLatin1String(":  28000: ")))
        return {ServerErrorNumber::LoginDisabled,
            QStringLiteral("La oficina deshabilitó al usuario %2 en el servidor %1: sus órdenes quedan en el servidor, "
                           "pero no puede conectarse hasta que la oficina lo habilite de nuevo.")
                .arg(server, user)};
    // No password given: libpq took it from the password file, which the user must be told of.
    if (PQconnectionUsedPassword(attempt.get()) && address.password().isEmpty())
        return {ServerErrorNumber::WrongPassword,
            QStringLiteral("El servidor %1 rechazó el ingreso: la contraseña de %2 para %3 no fue aceptada (o el "
                           "usuario no existe).")
                .arg(server, passwordFileShown(address), user)};
    if (PQconnectionUsedPassword(attempt.get()))
        return {ServerErrorNumber::WrongPassword,
            QStringLiteral("El servidor %1 rechazó el ingreso del usuario %2: la contraseña es incorrecta o el usuario "
                           "no existe.")
                .arg(server, user)};
    return {ServerErrorNumber::LoginRefused,
        QStringLiteral("El servidor %1 no admite el ingreso del usuario %2 a la base de datos %3.")
            .arg(server, user, database)};
}
