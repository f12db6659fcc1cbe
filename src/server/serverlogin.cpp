#include "serverlogin.h"

#include "base/dialogs.h"
#include "companyschema.h"
#include "data/salespersoncode.h"
#include "data/serversettings.h"
#include "serverconnection.h"
#include "servererrornumber.h"

#include <QHash>

namespace {

// Typed passwords, by login and server; never written anywhere.
QHash<QString, QString> &typedPasswords()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

QString loginKey(const ServerAddress &address)
{
    return QStringLiteral("%1@%2/%3").arg(address.user(), address.shownServer(), address.database());
}

MaybeError checkSalesperson(ServerConnection &connection, const ServerSettings &settings)
{
    RowSet rows;
    if (MaybeError error = connection.select(QStringLiteral("SELECT VENDEDOR_ACTUAL() AS CODIGO"), {}, rows))
        return error;
    const QString code = rows.text(0, QStringLiteral("CODIGO"));
    const QString user = connection.address().user();
    if (code.isEmpty())
        return DbError{ServerErrorNumber::OtherSalesperson,
            QStringLiteral("El usuario %1 no es vendedor de la empresa en el servidor %2.")
                .arg(user, connection.address().shownServer())};
    if (!SalespersonCode::same(code, settings.salesperson))
        return DbError{ServerErrorNumber::OtherSalesperson,
            QStringLiteral("El usuario %1 es el vendedor %2 en el servidor, no el vendedor %3 de la configuración.")
                .arg(user, code, settings.salesperson)};
    return std::nullopt;
}

} // namespace

ServerAddress ServerLogin::address(const ServerSettings &settings)
{
    const QString login = settings.login.isEmpty()
        ? SalespersonCode::defaultLogin(settings.database, settings.salesperson)
        : settings.login;
    return ServerAddress::fromParts(settings.host, settings.port, settings.database, login, settings.tlsMode);
}

MaybeError ServerLogin::open(ServerConnection &connection, const ServerSettings &settings, Dialogs &dialogs)
{
    if (!settings.isConfigured())
        return DbError{ServerErrorNumber::BadAddress,
            QStringLiteral("No hay un servidor de la empresa configurado (herramienta Configuración).")};
    ServerAddress address = ServerLogin::address(settings);
    const QString key = loginKey(address);
    const auto kept = typedPasswords().constFind(key);
    if (kept != typedPasswords().constEnd())
        address.setPassword(*kept);

    MaybeError error = connection.open(address);
    // A password the server asks for and nobody gave, or one from the password file that it
    // refused, can be typed for this run.
    const bool fromFile = error && error->number == ServerErrorNumber::WrongPassword && address.password().isEmpty();
    if (error && (error->number == ServerErrorNumber::PasswordNeeded || fromFile)) {
        const QString prompt
            = QStringLiteral("Contraseña del usuario %1 en el servidor %2:").arg(address.user(), address.shownServer());
        const QString typed = dialogs.input(Dialogs::Input{
            fromFile ? error->description + QStringLiteral("\nEscriba otra para esta sesión.\n\n") + prompt : prompt,
            QStringLiteral("Servidor de la empresa"), QString(), true});
        if (typed.isEmpty())
            return error;
        address.setPassword(typed);
        error = connection.open(address);
        if (!error)
            typedPasswords().insert(key, typed);
    }
    if (error) {
        if (error->number == ServerErrorNumber::WrongPassword)
            typedPasswords().remove(key);
        return error;
    }
    if (MaybeError failed = CompanySchema::check(connection)) {
        connection.close();
        return failed;
    }
    if (MaybeError failed = checkSalesperson(connection, settings)) {
        connection.close();
        return failed;
    }
    return std::nullopt;
}

void ServerLogin::forgetPasswords()
{
    typedPasswords().clear();
}
