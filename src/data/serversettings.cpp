#include "serversettings.h"

#include "connection.h"
#include "salespersoncode.h"
#include "tables.h"
#include "transaction.h"

namespace {

const QString &deleteRow()
{
    static const QString sql = Tables::servidor().deleteStatement();
    return sql;
}

const QString &updateStamp()
{
    static const QString sql = Tables::servidor().updateStatement({QStringLiteral("SELLO_CATALOGO")}, QStringList());
    return sql;
}

QVariant textOrNull(const QString &value)
{
    return value.isEmpty() ? QVariant() : QVariant(value);
}

} // namespace

const QStringList &ServerSettings::tlsModes()
{
    static const QStringList modes = {QStringLiteral("prefer"), QStringLiteral("disable"), QStringLiteral("allow"),
        QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    return modes;
}

std::optional<ServerSettings> ServerSettings::validate(const Typed &typed, QString *refusal)
{
    auto refuse = [refusal](const QString &why) -> std::optional<ServerSettings> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    ServerSettings settings;
    settings.host = typed.host.trimmed();
    settings.database = typed.database.trimmed();
    settings.salesperson = typed.salesperson.trimmed();
    settings.login = typed.login.trimmed();
    settings.tlsMode = typed.tlsMode.trimmed();
    const QString port = typed.port.trimmed();
    if (settings.database.isEmpty()) {
        if (!settings.host.isEmpty() || !port.isEmpty() || !settings.salesperson.isEmpty() || !settings.login.isEmpty())
            return refuse(QStringLiteral("Falta el nombre de la base de datos del servidor."));
        return ServerSettings();
    }
    QString why;
    const std::optional<QString> code = SalespersonCode::normalized(settings.salesperson, &why);
    if (!code)
        return refuse(why);
    settings.salesperson = *code;
    if (!port.isEmpty()) {
        bool ok = false;
        settings.port = port.toInt(&ok);
        if (!ok || settings.port < 1 || settings.port > 65535)
            return refuse(QStringLiteral("El puerto debe ser un número entre 1 y 65535, no '%1'.").arg(typed.port));
    }
    if (!settings.tlsMode.isEmpty() && !tlsModes().contains(settings.tlsMode))
        return refuse(QStringLiteral("El modo TLS '%1' no existe.").arg(typed.tlsMode));
    return settings;
}

MaybeError ServerSettings::read(Connection &connection, ServerSettings &settings)
{
    RowSet rows;
    if (MaybeError error = connection.select(Tables::servidor().selectStatement(), {}, rows))
        return error;
    settings = ServerSettings();
    if (rows.count() == 0)
        return std::nullopt;
    settings.host = rows.text(0, QStringLiteral("HOST"));
    settings.port = rows.value(0, QStringLiteral("PUERTO")).toInt();
    settings.database = rows.text(0, QStringLiteral("BASE_DE_DATOS"));
    settings.salesperson = rows.text(0, QStringLiteral("VENDEDOR"));
    settings.login = rows.text(0, QStringLiteral("USUARIO"));
    settings.tlsMode = rows.text(0, QStringLiteral("MODO_TLS"));
    settings.catalogueStamp = rows.value(0, QStringLiteral("SELLO_CATALOGO")).toLongLong();
    return std::nullopt;
}

MaybeError ServerSettings::write(Connection &connection, const ServerSettings &settings)
{
    ServerSettings stored;
    if (MaybeError error = read(connection, stored))
        return error;
    const bool sameCatalogue = stored.isConfigured() && stored.host == settings.host && stored.port == settings.port
        && stored.database == settings.database;

    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    if (MaybeError error = connection.execute(deleteRow()))
        return error;
    if (settings.isConfigured()) {
        if (MaybeError error = connection.execute(Tables::servidor().insertStatement(),
                {textOrNull(settings.host), settings.port > 0 ? QVariant(settings.port) : QVariant(), settings.database,
                    settings.salesperson, textOrNull(settings.login), textOrNull(settings.tlsMode),
                    sameCatalogue ? stored.catalogueStamp : qint64(0)}))
            return error;
    }
    return transaction.commit();
}

MaybeError ServerSettings::storeStamp(Connection &connection, qint64 stamp)
{
    return connection.execute(updateStamp(), {stamp});
}
