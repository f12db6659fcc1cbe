#include "companyschema.h"

#include "serverconnection.h"
#include "servererrornumber.h"
#include "servertransaction.h"

namespace {

// Objects are made in the office's current schema; the functions keep that schema (and
// pg_temp last) as their search path, so that a salesperson's temporary table can never
// stand in for a company table inside them.
const char *const sessionStatements[] = {
    R"(SET LOCAL client_min_messages = warning)",
    R"(SELECT set_config('search_path', quote_ident(current_schema()) || ', pg_temp', true))",
};

const char *const createStatements[] = {
    R"(CREATE SEQUENCE IF NOT EXISTS ARTICULOS_CAMBIO_SEQ)",
    R"(CREATE TABLE IF NOT EXISTS ARTICULOS (
        COD_ART TEXT NOT NULL,
        COD_PROPIO TEXT,
        DESCRIPCION TEXT,
        STK_ACTUAL INTEGER,
        P_UNITARIO DOUBLE PRECISION,
        FECHA_ACT DATE,
        CAMBIO BIGINT NOT NULL DEFAULT 0,
        CONSTRAINT ARTICULOS_COD_ART PRIMARY KEY (COD_ART)))",
    R"(CREATE INDEX IF NOT EXISTS ARTICULOS_POR_CAMBIO ON ARTICULOS (CAMBIO))",
    R"(CREATE TABLE IF NOT EXISTS VENDEDORES (
        CODIGO TEXT NOT NULL,
        NOMBRE TEXT NOT NULL,
        USUARIO TEXT NOT NULL,
        CONSTRAINT VENDEDORES_CODIGO PRIMARY KEY (CODIGO),
        CONSTRAINT VENDEDORES_USUARIO UNIQUE (USUARIO)))",
    R"(CREATE TABLE IF NOT EXISTS PEDIDOS (
        VENDEDOR TEXT NOT NULL REFERENCES VENDEDORES (CODIGO),
        NRO_PEDIDO INTEGER NOT NULL,
        FECHA DATE,
        CLIENTE TEXT,
        DIRECCION TEXT,
        RUC TEXT,
        TELEFONO TEXT,
        CONTACTO TEXT,
        EMAIL TEXT,
        FORMA_DE_ENVIO TEXT,
        FORMA_DE_PAGO TEXT,
        OBSERVACIONES TEXT,
        RECIBIDO TIMESTAMP WITH TIME ZONE NOT NULL DEFAULT now(),
        CONSTRAINT PEDIDOS_VENDEDOR_NRO PRIMARY KEY (VENDEDOR, NRO_PEDIDO)))",
    R"(CREATE TABLE IF NOT EXISTS LINEAS_PEDIDOS (
        VENDEDOR TEXT NOT NULL,
        NRO_PEDIDO INTEGER NOT NULL,
        NRO_LINEA INTEGER NOT NULL,
        COD_ART TEXT,
        CANTIDAD INTEGER,
        P_UNITARIO DOUBLE PRECISION,
        DETALLES TEXT,
        CONSTRAINT LINEAS_PEDIDOS_LINEA PRIMARY KEY (VENDEDOR, NRO_PEDIDO, NRO_LINEA),
        CONSTRAINT LINEAS_PEDIDOS_PEDIDO FOREIGN KEY (VENDEDOR, NRO_PEDIDO) REFERENCES PEDIDOS))",

    // Writers of the catalogue take their stamps one transaction at a time (the lock lasts
    // until commit), so no stamp becomes visible after a higher one: a laptop that asks for
    // the articles changed since the highest stamp it saw misses none.
    R"(CREATE OR REPLACE FUNCTION SELLAR_ARTICULO() RETURNS trigger
        LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    BEGIN
        PERFORM pg_advisory_xact_lock(726200113);
        NEW.CAMBIO := nextval('ARTICULOS_CAMBIO_SEQ');
        RETURN NEW;
    END
    $$)",
    R"(CREATE OR REPLACE TRIGGER ARTICULOS_SELLO BEFORE INSERT OR UPDATE ON ARTICULOS
        FOR EACH ROW EXECUTE FUNCTION SELLAR_ARTICULO())",

    // The salesperson of the login; session_user, because inside the functions below
    // current_user is the office.
    R"(CREATE OR REPLACE FUNCTION VENDEDOR_ACTUAL() RETURNS TEXT
        LANGUAGE sql STABLE SECURITY DEFINER SET search_path FROM CURRENT AS $$
        SELECT CODIGO FROM VENDEDORES WHERE USUARIO = session_user
    $$)",
    R"(ALTER TABLE PEDIDOS ENABLE ROW LEVEL SECURITY)",
    R"(ALTER TABLE LINEAS_PEDIDOS ENABLE ROW LEVEL SECURITY)",
    R"(DO $$
    BEGIN
        IF NOT EXISTS (SELECT FROM pg_policy WHERE polrelid = 'PEDIDOS'::regclass AND polname = 'pedidos_propios') THEN
            CREATE POLICY PEDIDOS_PROPIOS ON PEDIDOS
                USING (VENDEDOR = VENDEDOR_ACTUAL()) WITH CHECK (VENDEDOR = VENDEDOR_ACTUAL());
        END IF;
        IF NOT EXISTS (SELECT FROM pg_policy WHERE polrelid = 'LINEAS_PEDIDOS'::regclass
                AND polname = 'lineas_propias') THEN
            CREATE POLICY LINEAS_PROPIAS ON LINEAS_PEDIDOS
                USING (VENDEDOR = VENDEDOR_ACTUAL()) WITH CHECK (VENDEDOR = VENDEDOR_ACTUAL());
        END IF;
    END
    $$)",

    // An order arrives here whole or not at all, in the caller's transaction. The header
    // goes first; when the key was already there the order came before, and neither its
    // lines nor the stock are touched again. It runs as the office so that the stock can be
    // lowered without letting a salesperson change the catalogue.
    R"(CREATE OR REPLACE FUNCTION RECIBIR_PEDIDO(P_NRO_PEDIDO INTEGER, P_FECHA DATE, P_CLIENTE TEXT,
            P_DIRECCION TEXT, P_RUC TEXT, P_TELEFONO TEXT, P_CONTACTO TEXT, P_EMAIL TEXT, P_FORMA_DE_ENVIO TEXT,
            P_FORMA_DE_PAGO TEXT, P_OBSERVACIONES TEXT, P_LINEAS JSONB) RETURNS BOOLEAN
        LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $$
    DECLARE
        V TEXT := VENDEDOR_ACTUAL();
    BEGIN
        IF V IS NULL THEN
            RAISE EXCEPTION 'el usuario % no es vendedor de esta empresa', session_user
                USING ERRCODE = 'insufficient_privilege';
        END IF;
        INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL,
                FORMA_DE_ENVIO, FORMA_DE_PAGO, OBSERVACIONES)
            VALUES (V, P_NRO_PEDIDO, P_FECHA, P_CLIENTE, P_DIRECCION, P_RUC, P_TELEFONO, P_CONTACTO, P_EMAIL,
                P_FORMA_DE_ENVIO, P_FORMA_DE_PAGO, P_OBSERVACIONES)
            ON CONFLICT (VENDEDOR, NRO_PEDIDO) DO NOTHING;
        IF NOT FOUND THEN
            RETURN FALSE;
        END IF;
        INSERT INTO LINEAS_PEDIDOS (VENDEDOR, NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO, DETALLES)
            SELECT V, P_NRO_PEDIDO, L.NRO_LINEA, L.COD_ART, L.CANTIDAD, L.P_UNITARIO, L.DETALLES
            FROM jsonb_to_recordset(P_LINEAS)
                AS L (NRO_LINEA INTEGER, COD_ART TEXT, CANTIDAD INTEGER, P_UNITARIO DOUBLE PRECISION, DETALLES TEXT);
        -- The catalogue's lock first, then the rows: every writer of the catalogue takes them in
        -- that order, so that two orders lowering the same articles never wait on each other.
        PERFORM pg_advisory_xact_lock(726200113);
        UPDATE ARTICULOS AS A SET STK_ACTUAL = A.STK_ACTUAL - S.TOTAL, FECHA_ACT = CURRENT_DATE
            FROM (SELECT L.COD_ART, SUM(L.CANTIDAD) AS TOTAL
                  FROM jsonb_to_recordset(P_LINEAS) AS L (COD_ART TEXT, CANTIDAD INTEGER)
                  GROUP BY L.COD_ART) AS S
            WHERE A.COD_ART = S.COD_ART;
        RETURN TRUE;
    END
    $$)",

    // Run by the office (it needs CREATEROLE). The password arrives as the server's own
    // verifier, never as the password itself.
    R"(CREATE OR REPLACE FUNCTION ALTA_VENDEDOR(P_CODIGO TEXT, P_NOMBRE TEXT, P_USUARIO TEXT, P_VERIFICADOR TEXT)
        RETURNS VOID LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    BEGIN
        INSERT INTO VENDEDORES (CODIGO, NOMBRE, USUARIO) VALUES (P_CODIGO, P_NOMBRE, P_USUARIO);
        EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L', P_USUARIO, P_VERIFICADOR);
        EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), P_USUARIO);
        EXECUTE format('GRANT SELECT ON ARTICULOS, SCHEMA_VERSION TO %I', P_USUARIO);
        EXECUTE format('GRANT SELECT, INSERT ON PEDIDOS, LINEAS_PEDIDOS TO %I', P_USUARIO);
        EXECUTE format('GRANT EXECUTE ON FUNCTION VENDEDOR_ACTUAL, RECIBIR_PEDIDO TO %I', P_USUARIO);
    END
    $$)",
    // Functions are open to everyone unless revoked; these are granted to each salesperson.
    R"(REVOKE ALL ON FUNCTION SELLAR_ARTICULO, VENDEDOR_ACTUAL, RECIBIR_PEDIDO, ALTA_VENDEDOR FROM PUBLIC)",
};

MaybeError storedVersion(ServerConnection &connection, QVariant &stored)
{
    RowSet rows;
    if (MaybeError error
        = connection.select(QStringLiteral("SELECT to_regclass('SCHEMA_VERSION') IS NOT NULL AS HAY"), {}, rows))
        return error;
    if (!rows.value(0, QStringLiteral("HAY")).toBool()) {
        stored = QVariant();
        return std::nullopt;
    }
    if (MaybeError error
        = connection.select(QStringLiteral("SELECT MAX(VERSION) AS VERSION FROM SCHEMA_VERSION"), {}, rows))
        return error;
    stored = rows.value(0, QStringLiteral("VERSION"));
    return std::nullopt;
}

DbError newerSchema(const ServerConnection &connection)
{
    return {ServerErrorNumber::NewerSchema,
        QStringLiteral("La base de datos %1 del servidor es de una versión más nueva del programa.")
            .arg(connection.address().database())};
}

} // namespace

MaybeError CompanySchema::create(ServerConnection &connection)
{
    ServerTransaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    for (const char *statement : sessionStatements) {
        if (MaybeError error = connection.execute(QString::fromUtf8(statement)))
            return error;
    }
    QVariant stored;
    if (MaybeError error = storedVersion(connection, stored))
        return error;
    if (!stored.isNull() && stored.toInt() > version)
        return newerSchema(connection);
    if (MaybeError error
        = connection.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS SCHEMA_VERSION (VERSION INTEGER NOT NULL)")))
        return error;
    for (const char *statement : createStatements) {
        if (MaybeError error = connection.execute(QString::fromUtf8(statement)))
            return error;
    }
    if (stored.isNull()) {
        if (MaybeError error
            = connection.execute(QStringLiteral("INSERT INTO SCHEMA_VERSION (VERSION) VALUES (?)"), {version}))
            return error;
    }
    return transaction.commit();
}

MaybeError CompanySchema::check(ServerConnection &connection)
{
    QVariant stored;
    if (MaybeError error = storedVersion(connection, stored))
        return error;
    if (stored.isNull())
        return DbError{ServerErrorNumber::NotCompanyDatabase,
            QStringLiteral("La base de datos %1 del servidor no es la de la empresa: falta prepararla con "
                           "recorvan-db server-init.")
                .arg(connection.address().database())};
    if (stored.toInt() > version)
        return newerSchema(connection);
    return std::nullopt;
}

QString CompanySchema::defaultLogin(const QString &database, const QString &code)
{
    return (database + QLatin1Char('_') + code).toLower();
}

MaybeError CompanySchema::addSalesperson(ServerConnection &connection, const QString &code, const QString &name,
    const QString &login, const QString &password)
{
    if (code.trimmed().isEmpty() || name.trimmed().isEmpty() || login.trimmed().isEmpty())
        return DbError{
            ServerErrorNumber::Refused, QStringLiteral("El código, el nombre y el usuario no pueden estar vacíos.")};
    // PostgreSQL cuts longer names to 63 bytes; two salespeople must never share a cut name.
    if (login.toUtf8().size() > 63)
        return DbError{ServerErrorNumber::Refused,
            QStringLiteral("El usuario «%1» es demasiado largo (hasta 63 bytes).").arg(login)};
    if (password.isEmpty())
        return DbError{ServerErrorNumber::Refused, QStringLiteral("La contraseña no puede estar vacía.")};
    if (MaybeError error = check(connection))
        return error;

    RowSet rows;
    if (MaybeError error
        = connection.select(QStringLiteral("SELECT (SELECT COUNT(*) FROM VENDEDORES WHERE CODIGO = ?) AS VENDEDOR, "
                                           "(SELECT COUNT(*) FROM pg_roles WHERE rolname = ?) AS USUARIO"),
            {code, login}, rows))
        return error;
    if (rows.value(0, QStringLiteral("VENDEDOR")).toInt() > 0)
        return DbError{ServerErrorNumber::Exists, QStringLiteral("El vendedor %1 ya existe.").arg(code)};
    if (rows.value(0, QStringLiteral("USUARIO")).toInt() > 0)
        return DbError{ServerErrorNumber::Exists, QStringLiteral("Ya existe el usuario %1 en el servidor.").arg(login)};

    QString verifier;
    if (MaybeError error = connection.passwordVerifier(login, password, verifier))
        return error;
    return connection.execute(QStringLiteral("SELECT ALTA_VENDEDOR(?, ?, ?, ?)"), {code, name, login, verifier});
}
