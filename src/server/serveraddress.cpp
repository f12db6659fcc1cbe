#include "serveraddress.h"

#include "servererrornumber.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

DbError badAddress(const QString &why)
{
    return {ServerErrorNumber::BadAddress, QStringLiteral("La dirección del servidor no es válida: %1").arg(why)};
}

QString decoded(const QString &part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// A value in libpq's conninfo syntax: quoted, with quote and backslash escaped.
QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

MaybeError readPort(const QString &text, int &port)
{
    bool ok = false;
    port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return badAddress(QStringLiteral("«%1» no es un número de puerto.").arg(text));
    return std::nullopt;
}

} // namespace

MaybeError ServerAddress::parse(const QString &url, ServerAddress &address)
{
    QString rest;
    bool known = false;
    for (const QLatin1String scheme : {QLatin1String("postgresql://"), QLatin1String("postgres://")}) {
        if (url.startsWith(scheme)) {
            rest = url.mid(scheme.size());
            known = true;
            break;
        }
    }
    if (!known)
        return badAddress(QStringLiteral("debe empezar con postgresql://"));

    ServerAddress result;
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    const QString query = question < 0 ? QString() : rest.mid(question + 1);
    rest.truncate(question < 0 ? rest.size() : question);

    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QString authority = slash < 0 ? rest : rest.left(slash);
    if (slash >= 0) {
        const QString path = rest.mid(slash + 1);
        if (path.contains(QLatin1Char('/')))
            return badAddress(QStringLiteral("el nombre de la base de datos no puede llevar «/»."));
        result.m_database = decoded(path);
    }

    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        result.m_user = decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0)
            result.m_password = decoded(userInfo.mid(colon + 1));
    }
    const QString hostPort = authority.mid(at + 1);
    if (hostPort.contains(QLatin1Char(',')))
        return badAddress(QStringLiteral("se admite un solo servidor."));
    QString portText;
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close < 0)
            return badAddress(QStringLiteral("falta «]» tras la dirección IPv6."));
        result.m_host = hostPort.mid(1, close - 1);
        const QString after = hostPort.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return badAddress(QStringLiteral("sobra «%1» tras la dirección IPv6.").arg(after));
        portText = after.mid(1);
    } else {
        const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
        result.m_host = decoded(colon < 0 ? hostPort : hostPort.left(colon));
        if (colon >= 0)
            portText = hostPort.mid(colon + 1);
    }
    if (!portText.isEmpty()) {
        if (MaybeError error = readPort(portText, result.m_port))
            return error;
    }

    static const QRegularExpression keyPattern(QStringLiteral("^[a-z_]+$"));
    static const QStringList sslModes = {QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
        QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return badAddress(QStringLiteral("«%1» no tiene la forma clave=valor.").arg(pair));
        const QString key = pair.left(equals);
        const QString value = decoded(pair.mid(equals + 1));
        if (key == QLatin1String("host")) {
            result.m_host = value;
        } else if (key == QLatin1String("port")) {
            if (MaybeError error = readPort(value, result.m_port))
                return error;
        } else if (key == QLatin1String("dbname")) {
            result.m_database = value;
        } else if (key == QLatin1String("user")) {
            result.m_user = value;
        } else if (key == QLatin1String("password")) {
            result.m_password = value;
        } else if (key == QLatin1String("connect_timeout")) {
            bool ok = false;
            result.m_connectTimeout = value.toInt(&ok);
            // libpq reads 0 as "wait for ever", which a window must never do.
            if (!ok || result.m_connectTimeout < 1 || result.m_connectTimeout > 60)
                return badAddress(QStringLiteral("connect_timeout debe ser un número de segundos entre 1 y 60."));
        } else if (!keyPattern.match(key).hasMatch()) {
            return badAddress(QStringLiteral("«%1» no es un parámetro de conexión.").arg(key));
        } else if (key == QLatin1String("sslmode") && !sslModes.contains(value)) {
            return badAddress(QStringLiteral("sslmode no admite «%1».").arg(value));
        } else if (value.contains(QLatin1Char(';'))) {
            // Qt's driver reads ';' as the separator between parameters.
            return badAddress(QStringLiteral("el valor de %1 no puede llevar «;».").arg(key));
        } else {
            result.m_options.append({key, value});
        }
    }
    address = result;
    return std::nullopt;
}

ServerAddress ServerAddress::fromParts(
    const QString &host, int port, const QString &database, const QString &user, const QString &sslMode)
{
    ServerAddress address;
    address.m_host = host;
    address.m_port = port > 0 ? port : -1;
    address.m_database = database;
    address.m_user = user;
    if (!sslMode.isEmpty())
        address.m_options.append({QStringLiteral("sslmode"), sslMode});
    return address;
}

QString ServerAddress::option(const QString &key) const
{
    QString found;
    for (const auto &[name, value] : m_options) {
        if (name == key)
            found = value;
    }
    return found;
}

QString ServerAddress::driverOptions() const
{
    QStringList parts = {QStringLiteral("connect_timeout=%1").arg(m_connectTimeout)};
    if (option(QStringLiteral("application_name")).isEmpty())
        parts.append(QStringLiteral("application_name='recorvan'"));
    for (const auto &[key, value] : m_options)
        parts.append(key + QLatin1Char('=') + quoted(value));
    return parts.join(QLatin1Char(';'));
}

void ServerAddress::libpqParameters(QByteArrayList &keywords, QByteArrayList &values) const
{
    keywords.clear();
    values.clear();
    const auto add = [&](const char *key, const QString &value) {
        if (!value.isEmpty()) {
            keywords.append(key);
            values.append(value.toUtf8());
        }
    };
    add("host", m_host);
    add("port", m_port > 0 ? QString::number(m_port) : QString());
    add("dbname", m_database);
    add("user", m_user);
    add("password", m_password);
    add("connect_timeout", QString::number(m_connectTimeout));
    add("application_name", QStringLiteral("recorvan"));
    for (const auto &[key, value] : m_options) {
        keywords.append(key.toUtf8());
        values.append(value.toUtf8());
    }
}

QString ServerAddress::shownServer() const
{
    QString host = m_host.isEmpty() ? QStringLiteral("local") : m_host;
    if (m_port <= 0)
        return host;
    const bool ipv6 = host.contains(QLatin1Char(':'));
    return QStringLiteral("%1:%2").arg(ipv6 ? QLatin1Char('[') + host + QLatin1Char(']') : host).arg(m_port);
}
