#include "settingseditor.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "data/schema.h"
#include "data/server/companyschema.h"
#include "data/server/serverconnection.h"
#include "data/server/serverlogin.h"

MaybeError SettingsEditor::load(Connection &connection, Typed &typed)
{
    std::optional<Schema::StoredSettings> company;
    if (MaybeError error = Schema::readSettings(connection, company))
        return error;
    typed = Typed();
    if (company) {
        typed.company.empresa = company->empresa;
        typed.company.vendedor = company->vendedor;
        typed.company.ultimoPedido = Regional::plainInteger(qint64(Regional::leadingNumber(company->ultimoPedido)));
    }
    ServerSettings server;
    if (MaybeError error = ServerSettings::read(connection, server))
        return error;
    typed.server.host = server.host;
    typed.server.port = server.port > 0 ? QString::number(server.port) : QString();
    typed.server.database = server.database;
    typed.server.vendedor = server.vendedor;
    typed.server.usuario = server.usuario;
    typed.server.modoTls = server.modoTls;
    ListFormat format = ListFormat::es();
    if (MaybeError error = ListFormat::read(connection, format))
        return error;
    typed.listFormat = format.code();
    return std::nullopt;
}

std::optional<QString> SettingsEditor::save(Connection &connection, const Typed &typed)
{
    QString refusal;
    const std::optional<Schema::Settings> company = CompanySettings::validate(typed.company, &refusal);
    if (!company)
        return refusal;
    const std::optional<ServerSettings> server = ServerSettings::validate(typed.server, &refusal);
    if (!server)
        return refusal;
    const std::optional<ListFormat> format = ListFormat::fromCode(typed.listFormat);
    if (!format)
        return QStringLiteral("El formato de la lista de artículos '%1' no se conoce.").arg(typed.listFormat);
    if (MaybeError error = CompanySettings::save(connection, *company))
        return error->description;
    strEMPRESA = company->empresa;
    strRECORVAN = company->vendedor;
    strULTIMO_PEDIDO = Regional::plainInteger(company->ultimoPedido);
    if (MaybeError error = ServerSettings::write(connection, *server))
        return QStringLiteral("Los datos de la empresa se guardaron, pero no los del servidor: %1")
            .arg(error->description);
    if (MaybeError error = ListFormat::write(connection, *format))
        return QStringLiteral("Los demás datos se guardaron, pero no el formato de la lista de artículos: %1")
            .arg(error->description);
    return std::nullopt;
}

SettingsEditor::Trial SettingsEditor::tryServer(const ServerSettings::Typed &typed, Dialogs &dialogs)
{
    QString refusal;
    const std::optional<ServerSettings> settings = ServerSettings::validate(typed, &refusal);
    if (!settings)
        return {false, refusal};
    if (!settings->isConfigured())
        return {false, QStringLiteral("No hay un servidor que probar: falta el nombre de la base de datos.")};
    ServerConnection connection(QStringLiteral("recorvan-prueba"));
    if (MaybeError error = ServerLogin::open(connection, *settings, dialogs))
        return {false, QStringLiteral("No se pudo conectar. %1").arg(error->description)};
    const ServerAddress &address = connection.address();
    return {true,
        QStringLiteral("Conexión correcta: base de datos %1 en el servidor %2, vendedor %3 (usuario %4).")
            .arg(address.database(), address.shownServer(), settings->vendedor, connection.user())};
}

QString SettingsEditor::defaultLogin(const ServerSettings::Typed &typed)
{
    if (typed.database.trimmed().isEmpty() || typed.vendedor.trimmed().isEmpty())
        return {};
    return CompanySchema::defaultLogin(typed.database.trimmed(), typed.vendedor.trimmed());
}
