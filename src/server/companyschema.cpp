#include "companyschema.h"

#include "companytables.h"
#include "data/salespersoncode.h"
#include "data/tables.h"
#include "data/transaction.h"
#include "orderfingerprint.h"
#include "serverconnection.h"
#include "servererrornumber.h"

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

    // The fingerprint of an order: SHA-256 of a canonical text of everything stored with it.
    // Each value is its UTF-8 length, ':' and its text, or '-' for NULL; a price is its eight
    // IEEE bytes (zero without its sign), so that no rounding of a decimal text can tell two
    // equal prices apart. OrderFingerprint makes the same text on the laptop.
    R"(CREATE OR REPLACE FUNCTION HUELLA_VALOR(T TEXT) RETURNS TEXT LANGUAGE sql IMMUTABLE AS $$
        SELECT CASE WHEN T IS NULL THEN '-' ELSE octet_length(convert_to(T, 'UTF8')) || ':' || T END
    $$)",
    R"(CREATE OR REPLACE FUNCTION HUELLA_LINEA(P_NRO_LINEA INTEGER, P_COD_ART TEXT, P_CANTIDAD INTEGER,
            P_P_UNITARIO DOUBLE PRECISION, P_DETALLES TEXT) RETURNS TEXT
        LANGUAGE sql IMMUTABLE AS $$
        SELECT HUELLA_VALOR(P_NRO_LINEA::TEXT) || HUELLA_VALOR(P_COD_ART) || HUELLA_VALOR(P_CANTIDAD::TEXT)
            || HUELLA_VALOR(encode(float8send(CASE WHEN P_P_UNITARIO = 0 THEN 0::DOUBLE PRECISION
                ELSE P_P_UNITARIO END), 'hex'))
            || HUELLA_VALOR(P_DETALLES)
    $$)",
    // The lines come as the concatenation of their HUELLA_LINEA texts, in line order.
    R"(CREATE OR REPLACE FUNCTION HUELLA_PEDIDO(P_NRO_PEDIDO INTEGER, P_FECHA DATE, P_CLIENTE TEXT,
            P_DIRECCION TEXT, P_RUC TEXT, P_TELEFONO TEXT, P_CONTACTO TEXT, P_EMAIL TEXT, P_FORMA_DE_ENVIO TEXT,
            P_FORMA_DE_PAGO TEXT, P_OBSERVACIONES TEXT, P_LINEAS TEXT) RETURNS TEXT
        LANGUAGE sql IMMUTABLE AS $$
        SELECT encode(sha256(convert_to('recorvan-orden-1' || HUELLA_VALOR(P_NRO_PEDIDO::TEXT)
            || HUELLA_VALOR(to_char(P_FECHA, 'YYYY-MM-DD')) || HUELLA_VALOR(P_CLIENTE) || HUELLA_VALOR(P_DIRECCION)
            || HUELLA_VALOR(P_RUC) || HUELLA_VALOR(P_TELEFONO) || HUELLA_VALOR(P_CONTACTO) || HUELLA_VALOR(P_EMAIL)
            || HUELLA_VALOR(P_FORMA_DE_ENVIO) || HUELLA_VALOR(P_FORMA_DE_PAGO) || HUELLA_VALOR(P_OBSERVACIONES)
            || COALESCE(P_LINEAS, ''), 'UTF8')), 'hex')
    $$)",
    R"(UPDATE PEDIDOS AS P SET HUELLA = HUELLA_PEDIDO(P.NRO_PEDIDO, P.FECHA, P.CLIENTE, P.DIRECCION, P.RUC,
            P.TELEFONO, P.CONTACTO, P.EMAIL, P.FORMA_DE_ENVIO, P.FORMA_DE_PAGO, P.OBSERVACIONES,
            (SELECT string_agg(HUELLA_LINEA(L.NRO_LINEA, L.COD_ART, L.CANTIDAD, L.P_UNITARIO, L.DETALLES), ''
                ORDER BY L.NRO_LINEA)
             FROM LINEAS_PEDIDOS L WHERE L.VENDEDOR = P.VENDEDOR AND L.NRO_PEDIDO = P.NRO_PEDIDO))
        WHERE P.HUELLA IS NULL)",

    // A database made before lines were marked has them marked by today's catalogue.
    R"(UPDATE LINEAS_PEDIDOS AS L SET EN_CATALOGO = EXISTS (SELECT FROM ARTICULOS A WHERE A.COD_ART = L.COD_ART)
        WHERE L.EN_CATALOGO IS NULL)",

    // The receiving function of the first format told an order sent again from another order
    // under the same number by its number alone.
    R"(DROP FUNCTION IF EXISTS RECIBIR_PEDIDO(INTEGER, DATE, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT,
        JSONB))",

    // An order arrives here whole or not at all, in the caller's transaction; the salesperson is
    // the login's, never an argument. What it would store is checked first, and its fingerprint
    // must be the one the laptop made. When the number was there already, the stored
    // fingerprint tells the same order sent again (nothing changes) from another order under
    // that number (nothing is stored: the laptop is told whose it is). It runs as the office,
    // so that the stock can be lowered without letting a salesperson write any table.
    R"(CREATE OR REPLACE FUNCTION RECIBIR_PEDIDO(P_NRO_PEDIDO INTEGER, P_FECHA DATE, P_CLIENTE TEXT,
            P_DIRECCION TEXT, P_RUC TEXT, P_TELEFONO TEXT, P_CONTACTO TEXT, P_EMAIL TEXT, P_FORMA_DE_ENVIO TEXT,
            P_FORMA_DE_PAGO TEXT, P_OBSERVACIONES TEXT, P_LINEAS JSONB, P_HUELLA TEXT,
            OUT R_RESULTADO TEXT, OUT R_VENDEDOR TEXT, OUT R_CLIENTE TEXT, OUT R_FECHA DATE)
        LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $$
    DECLARE
        V TEXT := VENDEDOR_ACTUAL();
        H TEXT;
        GUARDADA TEXT;
        LINEA INTEGER;
        CAMPO TEXT;
        REPETIDA BOOLEAN;
        SIN_NUMERO BOOLEAN;
        SIN_PRECIO INTEGER;
        LARGA INTEGER;
        TEXTO_LINEAS TEXT;
    BEGIN
        IF V IS NULL THEN
            RAISE EXCEPTION 'el usuario % no es vendedor de esta empresa', session_user
                USING ERRCODE = 'insufficient_privilege';
        END IF;
        IF P_NRO_PEDIDO IS NULL OR P_NRO_PEDIDO < 1 THEN
            RAISE EXCEPTION 'el número de orden % no es válido', P_NRO_PEDIDO USING ERRCODE = 'check_violation';
        END IF;
        IF P_LINEAS IS NULL OR jsonb_typeof(P_LINEAS) <> 'array' THEN
            RAISE EXCEPTION 'la orden % llegó sin su lista de líneas', P_NRO_PEDIDO USING ERRCODE = 'check_violation';
        END IF;
        -- One reading of the lines finds what would refuse them, and makes their part of the
        -- fingerprint.
        SELECT COUNT(*) <> COUNT(DISTINCT L.NRO_LINEA), bool_or(L.NRO_LINEA IS NULL OR L.NRO_LINEA < 1),
                MIN(L.NRO_LINEA) FILTER (WHERE L.P_UNITARIO IN ('NaN', 'Infinity', '-Infinity')),
                MIN(L.NRO_LINEA) FILTER (WHERE char_length(L.COD_ART) > 32767 OR char_length(L.DETALLES) > 32767),
                string_agg(HUELLA_LINEA(L.NRO_LINEA, L.COD_ART, L.CANTIDAD, L.P_UNITARIO, L.DETALLES), ''
                    ORDER BY L.NRO_LINEA)
            INTO REPETIDA, SIN_NUMERO, SIN_PRECIO, LARGA, TEXTO_LINEAS
            FROM LINEAS_DE(P_LINEAS) AS L;
        IF SIN_NUMERO THEN
            RAISE EXCEPTION 'la orden % trae una línea sin número o con un número menor que 1', P_NRO_PEDIDO
                USING ERRCODE = 'check_violation';
        END IF;
        IF REPETIDA THEN
            SELECT NRO_LINEA INTO LINEA FROM LINEAS_DE(P_LINEAS) GROUP BY NRO_LINEA HAVING COUNT(*) > 1 LIMIT 1;
            RAISE EXCEPTION 'la orden % trae dos veces la línea %', P_NRO_PEDIDO, LINEA USING ERRCODE = 'check_violation';
        END IF;
        IF SIN_PRECIO IS NOT NULL THEN
            RAISE EXCEPTION 'la línea % de la orden % no tiene un precio finito', SIN_PRECIO, P_NRO_PEDIDO
                USING ERRCODE = 'check_violation';
        END IF;
        SELECT 'el campo ' || T.NOMBRE INTO CAMPO FROM (VALUES ('Cliente', P_CLIENTE), ('Dirección', P_DIRECCION),
                ('RUC', P_RUC), ('Teléfono', P_TELEFONO), ('Contacto', P_CONTACTO), ('E-mail', P_EMAIL),
                ('Forma de envío', P_FORMA_DE_ENVIO), ('Forma de pago', P_FORMA_DE_PAGO),
                ('Observaciones', P_OBSERVACIONES)) AS T (NOMBRE, TEXTO)
            WHERE char_length(T.TEXTO) > 32767 LIMIT 1;
        IF CAMPO IS NULL AND LARGA IS NOT NULL THEN
            CAMPO := 'un texto de la línea ' || LARGA;
        END IF;
        -- The longest text a field of the desk holds.
        IF CAMPO IS NOT NULL THEN
            RAISE EXCEPTION 'en la orden %, % tiene más de 32767 caracteres', P_NRO_PEDIDO, CAMPO
                USING ERRCODE = 'check_violation';
        END IF;

        H := HUELLA_PEDIDO(P_NRO_PEDIDO, P_FECHA, P_CLIENTE, P_DIRECCION, P_RUC, P_TELEFONO, P_CONTACTO, P_EMAIL,
            P_FORMA_DE_ENVIO, P_FORMA_DE_PAGO, P_OBSERVACIONES, TEXTO_LINEAS);
        IF P_HUELLA IS DISTINCT FROM H THEN
            RAISE EXCEPTION 'la orden % llegó distinta de como salió del equipo', P_NRO_PEDIDO
                USING ERRCODE = 'check_violation';
        END IF;

        INSERT INTO PEDIDOS (VENDEDOR, NRO_PEDIDO, FECHA, CLIENTE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL,
                FORMA_DE_ENVIO, FORMA_DE_PAGO, OBSERVACIONES, HUELLA)
            VALUES (V, P_NRO_PEDIDO, P_FECHA, P_CLIENTE, P_DIRECCION, P_RUC, P_TELEFONO, P_CONTACTO, P_EMAIL,
                P_FORMA_DE_ENVIO, P_FORMA_DE_PAGO, P_OBSERVACIONES, H)
            ON CONFLICT (VENDEDOR, NRO_PEDIDO) DO NOTHING;
        IF NOT FOUND THEN
            SELECT P.HUELLA, P.CLIENTE, P.FECHA INTO GUARDADA, R_CLIENTE, R_FECHA
                FROM PEDIDOS P WHERE P.VENDEDOR = V AND P.NRO_PEDIDO = P_NRO_PEDIDO;
            R_RESULTADO := CASE WHEN GUARDADA = H THEN 'YA_ESTABA' ELSE 'OTRA' END;
            R_VENDEDOR := V;
            RETURN;
        END IF;
        -- A line whose article the catalogue lacks is kept and marked; it lowers no stock.
        INSERT INTO LINEAS_PEDIDOS (VENDEDOR, NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO, DETALLES,
                EN_CATALOGO)
            SELECT V, P_NRO_PEDIDO, L.NRO_LINEA, L.COD_ART, L.CANTIDAD, L.P_UNITARIO, L.DETALLES,
                EXISTS (SELECT FROM ARTICULOS A WHERE A.COD_ART = L.COD_ART)
            FROM LINEAS_DE(P_LINEAS) AS L;
        -- The catalogue's lock first, then the rows: every writer of the catalogue takes them in
        -- that order, so that two orders lowering the same articles never wait on each other.
        PERFORM pg_advisory_xact_lock(726200113);
        UPDATE ARTICULOS AS A SET STK_ACTUAL = A.STK_ACTUAL - S.TOTAL, FECHA_ACT = CURRENT_DATE
            FROM (SELECT COD_ART, SUM(CANTIDAD) AS TOTAL FROM LINEAS_DE(P_LINEAS) GROUP BY COD_ART) AS S
            WHERE A.COD_ART = S.COD_ART;
        R_RESULTADO := 'NUEVA';
    END
    $$)",

    // Run by the office (it needs CREATEROLE). The password arrives as the server's own
    // verifier, never as the password itself. A salesperson's login reads the catalogue and
    // its own orders, and writes only through RECIBIR_PEDIDO.
    R"(CREATE OR REPLACE FUNCTION PERMISOS_VENDEDOR(P_USUARIO TEXT) RETURNS VOID
        LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    BEGIN
        EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), P_USUARIO);
        EXECUTE format('GRANT SELECT ON ARTICULOS, SCHEMA_VERSION, PEDIDOS, LINEAS_PEDIDOS TO %I', P_USUARIO);
        EXECUTE format('REVOKE INSERT, UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER ON ARTICULOS, SCHEMA_VERSION, '
            'PEDIDOS, LINEAS_PEDIDOS, VENDEDORES FROM %I', P_USUARIO);
        EXECUTE format('GRANT EXECUTE ON FUNCTION VENDEDOR_ACTUAL, RECIBIR_PEDIDO TO %I', P_USUARIO);
    END
    $$)",
    R"(CREATE OR REPLACE FUNCTION ALTA_VENDEDOR(P_CODIGO TEXT, P_NOMBRE TEXT, P_USUARIO TEXT, P_VERIFICADOR TEXT)
        RETURNS VOID LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    BEGIN
        IF P_CODIGO IS NULL OR P_CODIGO !~ '^[A-Z0-9_-]{1,20}$' THEN
            RAISE EXCEPTION 'el código de vendedor «%» no es válido', P_CODIGO USING ERRCODE = 'check_violation';
        END IF;
        INSERT INTO VENDEDORES (CODIGO, NOMBRE, USUARIO) VALUES (P_CODIGO, P_NOMBRE, P_USUARIO);
        EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L', P_USUARIO, P_VERIFICADOR);
        PERFORM PERMISOS_VENDEDOR(P_USUARIO);
    END
    $$)",
    // Run by the office: a salesperson's login let in or kept out (its orders stay), and a new
    // password for it, given as the server's own verifier.
    R"(CREATE OR REPLACE FUNCTION HABILITAR_VENDEDOR(P_CODIGO TEXT, P_HABILITADO BOOLEAN) RETURNS TEXT
        LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    DECLARE
        U TEXT;
    BEGIN
        SELECT USUARIO INTO U FROM VENDEDORES WHERE upper(btrim(CODIGO)) = P_CODIGO;
        IF U IS NOT NULL THEN
            EXECUTE format(CASE WHEN P_HABILITADO THEN 'ALTER ROLE %I LOGIN' ELSE 'ALTER ROLE %I NOLOGIN' END, U);
        END IF;
        RETURN U;
    END
    $$)",
    R"(CREATE OR REPLACE FUNCTION CLAVE_VENDEDOR(P_CODIGO TEXT, P_VERIFICADOR TEXT) RETURNS TEXT
        LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
    DECLARE
        U TEXT;
    BEGIN
        SELECT USUARIO INTO U FROM VENDEDORES WHERE upper(btrim(CODIGO)) = P_CODIGO;
        IF U IS NOT NULL THEN
            EXECUTE format('ALTER ROLE %I PASSWORD %L', U, P_VERIFICADOR);
        END IF;
        RETURN U;
    END
    $$)",
    // Logins made by an earlier format could insert their orders straight into the tables.
    R"(SELECT PERMISOS_VENDEDOR(USUARIO) FROM VENDEDORES WHERE USUARIO IN (SELECT rolname FROM pg_roles))",
    // Functions are open to everyone unless revoked; these are granted to each salesperson.
    R"(REVOKE ALL ON FUNCTION SELLAR_ARTICULO, VENDEDOR_ACTUAL, RECIBIR_PEDIDO, ALTA_VENDEDOR, PERMISOS_VENDEDOR,
        HABILITAR_VENDEDOR, CLAVE_VENDEDOR FROM PUBLIC)",
};

// The lines of an order as they travel, one JSON value, with the lines' own columns and types.
// (No temporary table holds them: one that a salesperson made under that name would run its
// triggers as the office.)
QString linesFunction()
{
    const QStringList columns = OrderFingerprint::lineColumns();
    const QString typed = Tables::lineasPedidos().typedColumns(columns);
    return QStringLiteral(R"(CREATE OR REPLACE FUNCTION LINEAS_DE(P_LINEAS JSONB) RETURNS TABLE (%1)
        LANGUAGE sql IMMUTABLE AS $$
        SELECT * FROM jsonb_to_recordset(P_LINEAS) AS L (%1)
    $$)")
        .arg(typed);
}

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
        = connection.select(CompanyTables::schemaVersion().highestStatement(QStringLiteral("VERSION")), {}, rows))
        return error;
    stored = rows.value(0, QStringLiteral("N"));
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
    Transaction transaction(connection);
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
    // The tables, or the columns an earlier format lacked; then the rules, each made anew.
    for (const TableDefinition *table : CompanyTables::all()) {
        for (const QString &statement : table->createStatements(TableDefinition::Dialect::PostgreSQL)) {
            if (MaybeError error = connection.execute(statement))
                return error;
        }
    }
    if (MaybeError error = connection.execute(linesFunction()))
        return error;
    for (const char *statement : createStatements) {
        if (MaybeError error = connection.execute(QString::fromUtf8(statement)))
            return error;
    }
    const TableDefinition &versions = CompanyTables::schemaVersion();
    if (MaybeError error
        = connection.execute(stored.isNull() ? versions.insertStatement()
                                             : versions.updateStatement({QStringLiteral("VERSION")}, QStringList()),
            {version}))
        return error;
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
    if (stored.toInt() < version)
        return DbError{ServerErrorNumber::OlderSchema,
            QStringLiteral("La base de datos %1 del servidor es de una versión anterior del programa: la oficina debe "
                           "actualizarla con recorvan-db server-init.")
                .arg(connection.address().database())};
    return std::nullopt;
}

MaybeError CompanySchema::addSalesperson(ServerConnection &connection, const QString &typedCode, const QString &name,
    const QString &login, const QString &password)
{
    QString refusal;
    const std::optional<QString> code = SalespersonCode::normalized(typedCode, &refusal);
    if (!code)
        return DbError{ServerErrorNumber::Refused, refusal};
    if (name.trimmed().isEmpty() || login.trimmed().isEmpty())
        return DbError{ServerErrorNumber::Refused, QStringLiteral("El nombre y el usuario no pueden estar vacíos.")};
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
        = connection.select(QStringLiteral("SELECT (SELECT COUNT(*) FROM VENDEDORES WHERE upper(btrim(CODIGO)) = ?) "
                                           "AS VENDEDOR, (SELECT COUNT(*) FROM pg_roles WHERE rolname = ?) AS USUARIO"),
            {*code, login}, rows))
        return error;
    if (rows.value(0, QStringLiteral("VENDEDOR")).toInt() > 0)
        return DbError{ServerErrorNumber::Exists, QStringLiteral("El vendedor %1 ya existe.").arg(*code)};
    if (rows.value(0, QStringLiteral("USUARIO")).toInt() > 0)
        return DbError{ServerErrorNumber::Exists, QStringLiteral("Ya existe el usuario %1 en el servidor.").arg(login)};

    QString verifier;
    if (MaybeError error = connection.passwordVerifier(login, password, verifier))
        return error;
    return connection.execute(QStringLiteral("SELECT ALTA_VENDEDOR(?, ?, ?, ?)"), {*code, name, login, verifier});
}
