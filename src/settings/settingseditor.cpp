#include "settingseditor.h"

#include "base/dialogs.h"
#include "base/globals.h"
#include "base/messagetitles.h"
#include "base/ordernumber.h"
#include "data/connection.h"
#include "data/salespersoncode.h"
#include "data/schema.h"
#include "data/sentorders.h"
#include "data/transaction.h"
#include "server/countercheck.h"
#include "server/serverconnection.h"
#include "server/serverlogin.h"

MaybeError SettingsEditor::load(Connection &connection, Typed &typed)
{
    std::optional<Schema::StoredSettings> company;
    if (MaybeError error = Schema::readSettings(connection, company))
        return error;
    typed = Typed();
    if (company) {
        typed.company.empresa = company->empresa;
        typed.company.vendedor = company->vendedor;
        typed.company.ultimoPedido = OrderNumber::plainText(company->ultimoPedido);
    }
    ServerSettings server;
    if (MaybeError error = ServerSettings::read(connection, server))
        return error;
    typed.server.host = server.host;
    typed.server.port = server.port > 0 ? QString::number(server.port) : QString();
    typed.server.database = server.database;
    typed.server.salesperson = server.salesperson;
    typed.server.login = server.login;
    typed.server.tlsMode = server.tlsMode;
    ListFormat format = ListFormat::es();
    if (MaybeError error = ListFormat::read(connection, format))
        return error;
    typed.listFormat = format.code();
    return std::nullopt;
}

MaybeError SettingsEditor::save(Connection &connection, const Typed &typed, Dialogs &dialogs)
{
    QString refusal;
    const std::optional<Schema::Settings> company = CompanySettings::validate(typed.company, &refusal);
    const std::optional<ServerSettings> server
        = company ? ServerSettings::validate(typed.server, &refusal) : std::nullopt;
    if (!company || !server)
        return DbError{DbErrorNumber::Refused, refusal};
    const std::optional<ListFormat> format = ListFormat::fromCode(typed.listFormat);
    if (!format)
        return DbError{DbErrorNumber::Refused,
            QStringLiteral("El formato de la lista de artículos '%1' no se conoce.").arg(typed.listFormat)};
    ServerSettings before;
    std::optional<Schema::StoredSettings> companyBefore;
    int unsent = 0;
    MaybeError error = ServerSettings::read(connection, before);
    if (!error)
        error = Schema::readSettings(connection, companyBefore);
    if (!error && server->isConfigured() && !before.isConfigured())
        error = SentOrders::unsentCount(connection, unsent);
    if (error)
        return error;

    // Orders stored before this laptop had a server were handled by the office another way.
    bool setAside = false;
    if (unsent > 0) {
        const QString held = unsent == 1
            ? QStringLiteral("Este equipo tiene 1 orden guardada que el servidor no recibió.")
            : QStringLiteral("Este equipo tiene %1 órdenes guardadas que el servidor no recibió.").arg(unsent);
        const int choice = dialogs.choose({held
                + QStringLiteral("\n\n¿Cuáles desea enviar al servidor? Las órdenes enviadas bajan el stock de la "
                                 "empresa: si la oficina ya las recibió de otro modo, envíe solo las que se confirmen "
                                 "de ahora en adelante."),
            QStringLiteral("Servidor de la empresa"), Dialogs::Question,
            {QStringLiteral("Solo las nuevas"), QStringLiteral("Todas"), QStringLiteral("Cancelar")}, 0, 2});
        if (choice == 2)
            return DbError{DbErrorNumber::Cancelled, {}};
        setAside = choice == 0;
    }

    Transaction transaction(connection);
    error = transaction.begin();
    if (!error)
        error = CompanySettings::save(connection, *company);
    if (!error)
        error = ServerSettings::write(connection, *server);
    if (!error && setAside)
        error = SentOrders::setAsideUnsent(connection, QDateTime::currentDateTime());
    if (!error)
        error = ListFormat::write(connection, *format);
    if (!error)
        error = transaction.commit();
    if (error)
        return error;
    strEMPRESA = company->empresa;
    strRECORVAN = company->vendedor;
    strULTIMO_PEDIDO = company->ultimoPedido.text();

    const bool serverChanged = before.host != server->host || before.port != server->port
        || before.database != server->database || !SalespersonCode::same(before.salesperson, server->salesperson)
        || before.login != server->login;
    const bool counterChanged
        = !companyBefore || OrderNumber::read(companyBefore->ultimoPedido) != company->ultimoPedido;
    if (server->isConfigured() && (serverChanged || counterChanged))
        compareCounter(connection, *server, dialogs);
    return std::nullopt;
}

void SettingsEditor::compareCounter(Connection &connection, const ServerSettings &server, Dialogs &dialogs)
{
    ServerConnection login(QStringLiteral("recorvan-contador"));
    std::optional<OrderNumber> raised;
    MaybeError error = ServerLogin::open(login, server, dialogs);
    if (!error)
        error = CounterCheck::offerRaise(connection, login, dialogs, raised);
    if (error) {
        dialogs.message(QStringLiteral("La configuración se guardó, pero no se pudo comparar el número de la última "
                                       "orden con el del servidor: %1")
                            .arg(error->description),
            MessageTitles::attention(), Dialogs::Warning);
        return;
    }
    if (raised)
        strULTIMO_PEDIDO = raised->text();
}

MaybeError SettingsEditor::tryServer(const ServerSettings::Typed &typed, Dialogs &dialogs, QString &found)
{
    QString refusal;
    const std::optional<ServerSettings> settings = ServerSettings::validate(typed, &refusal);
    if (!settings)
        return DbError{DbErrorNumber::Refused, refusal};
    if (!settings->isConfigured())
        return DbError{DbErrorNumber::Refused,
            QStringLiteral("No hay un servidor que probar: falta el nombre de la base de datos.")};
    ServerConnection connection(QStringLiteral("recorvan-prueba"));
    if (MaybeError error = ServerLogin::open(connection, *settings, dialogs))
        return DbError{error->number, QStringLiteral("No se pudo conectar. %1").arg(error->description)};
    const ServerAddress &address = connection.address();
    found = QStringLiteral("Conexión correcta: base de datos %1 en el servidor %2, vendedor %3 (usuario %4).")
                .arg(address.database(), address.shownServer(), settings->salesperson, connection.user());
    return std::nullopt;
}

QString SettingsEditor::defaultLogin(const ServerSettings::Typed &typed)
{
    if (typed.database.trimmed().isEmpty() || typed.salesperson.trimmed().isEmpty())
        return {};
    return SalespersonCode::defaultLogin(typed.database.trimmed(), typed.salesperson.trimmed());
}
