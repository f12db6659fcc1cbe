#include "salespeople.h"

#include "data/salespersoncode.h"
#include "serverconnection.h"
#include "servererrornumber.h"

namespace {

const QString selectAll = QStringLiteral(R"(SELECT V.CODIGO, V.NOMBRE, V.USUARIO,
        COALESCE(R.rolcanlogin, FALSE) AS PUEDE_CONECTAR,
        (SELECT COUNT(*) FROM PEDIDOS P WHERE P.VENDEDOR = V.CODIGO) AS ORDENES, U.NRO_PEDIDO AS ULTIMA, U.RECIBIDO
    FROM VENDEDORES V
    LEFT JOIN pg_roles R ON R.rolname = V.USUARIO
    LEFT JOIN LATERAL (SELECT P.NRO_PEDIDO, P.RECIBIDO FROM PEDIDOS P WHERE P.VENDEDOR = V.CODIGO
        ORDER BY P.RECIBIDO DESC, P.NRO_PEDIDO DESC LIMIT 1) AS U ON TRUE
    ORDER BY V.CODIGO)");
const QString selectLogin = QStringLiteral("SELECT USUARIO FROM VENDEDORES WHERE upper(btrim(CODIGO)) = ?");
const QString enable = QStringLiteral("SELECT HABILITAR_VENDEDOR(?, ?) AS USUARIO");
const QString changePassword = QStringLiteral("SELECT CLAVE_VENDEDOR(?, ?) AS USUARIO");

MaybeError normalized(const QString &typed, QString &code)
{
    QString refusal;
    const std::optional<QString> read = SalespersonCode::normalized(typed, &refusal);
    if (!read)
        return DbError{ServerErrorNumber::Refused, refusal};
    code = *read;
    return std::nullopt;
}

DbError noSuchSalesperson(const QString &code)
{
    return {ServerErrorNumber::Refused, QStringLiteral("No hay un vendedor %1 en el servidor.").arg(code)};
}

} // namespace

MaybeError Salespeople::list(ServerConnection &office, QList<Entry> &entries)
{
    RowSet rows;
    if (MaybeError error = office.select(selectAll, {}, rows))
        return error;
    entries.clear();
    for (int row = 0; row < rows.count(); ++row) {
        entries.append({rows.text(row, QStringLiteral("CODIGO")), rows.text(row, QStringLiteral("NOMBRE")),
            rows.text(row, QStringLiteral("USUARIO")), rows.value(row, QStringLiteral("PUEDE_CONECTAR")).toBool(),
            rows.value(row, QStringLiteral("ORDENES")).toLongLong(),
            rows.value(row, QStringLiteral("ULTIMA")).toLongLong(),
            rows.value(row, QStringLiteral("RECIBIDO")).toDateTime()});
    }
    return std::nullopt;
}

MaybeError Salespeople::loginOf(ServerConnection &office, const QString &typed, QString &login)
{
    QString code;
    if (MaybeError error = normalized(typed, code))
        return error;
    RowSet rows;
    if (MaybeError error = office.select(selectLogin, {code}, rows))
        return error;
    if (rows.count() == 0)
        return noSuchSalesperson(code);
    login = rows.text(0, QStringLiteral("USUARIO"));
    return std::nullopt;
}

MaybeError Salespeople::setEnabled(ServerConnection &office, const QString &typed, bool enabled)
{
    QString code;
    if (MaybeError error = normalized(typed, code))
        return error;
    RowSet rows;
    if (MaybeError error = office.select(enable, {code, enabled}, rows))
        return error;
    if (rows.text(0, QStringLiteral("USUARIO")).isEmpty())
        return noSuchSalesperson(code);
    return std::nullopt;
}

MaybeError Salespeople::setPassword(ServerConnection &office, const QString &typed, const QString &password)
{
    if (password.isEmpty())
        return DbError{ServerErrorNumber::Refused, QStringLiteral("La contraseña no puede estar vacía.")};
    QString login;
    if (MaybeError error = loginOf(office, typed, login))
        return error;
    QString verifier;
    if (MaybeError error = office.passwordVerifier(login, password, verifier))
        return error;
    RowSet rows;
    return office.select(changePassword, {SalespersonCode::normalized(typed).value_or(QString()), verifier}, rows);
}
