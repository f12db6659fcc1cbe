#include "schema.h"

#include "connection.h"
#include "tables.h"
#include "transaction.h"

#include <QDir>

namespace {

const QString &selectVersion()
{
    static const QString sql = Tables::schemaVersion().highestStatement(QStringLiteral("VERSION"));
    return sql;
}

const QString &updateVersion()
{
    static const QString sql = Tables::schemaVersion().updateStatement({QStringLiteral("VERSION")}, QStringList());
    return sql;
}

MaybeError createTables(Connection &connection, const QList<const TableDefinition *> &tables)
{
    for (const TableDefinition *table : tables) {
        for (const QString &statement : table->createStatements()) {
            if (MaybeError error = connection.execute(statement))
                return error;
        }
    }
    return std::nullopt;
}

} // namespace

MaybeError Schema::create(Connection &connection)
{
    if (MaybeError error = createTables(connection, Tables::all()))
        return error;
    return connection.execute(Tables::schemaVersion().insertStatement(), {version});
}

MaybeError Schema::createWithSettings(Connection &connection, const Settings &settings)
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    if (MaybeError error = create(connection))
        return error;
    if (MaybeError error = connection.execute(
            Tables::setup().insertStatement(), {settings.empresa, settings.vendedor, settings.ultimoPedido.value()}))
        return error;
    return transaction.commit();
}

MaybeError Schema::check(Connection &connection)
{
    for (const TableDefinition *table : Tables::all()) {
        RowSet columns;
        if (MaybeError error
            = connection.select(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table->name()}, columns))
            return error;
        if (columns.count() == 0)
            return DbError{
                DbErrorNumber::Generic, QStringLiteral("Falta la tabla %1 en la base de datos.").arg(table->name())};
        QStringList present;
        for (int row = 0; row < columns.count(); ++row)
            present.append(columns.text(row, QStringLiteral("name")).toUpper());
        for (const QString &column : table->columnNames()) {
            if (!present.contains(column))
                return DbError{DbErrorNumber::Generic,
                    QStringLiteral("Falta la columna %1 en la tabla %2.").arg(column, table->name())};
        }
    }
    return std::nullopt;
}

MaybeError Schema::readVersion(Connection &connection, int &stored)
{
    RowSet rows;
    if (MaybeError error = connection.select(selectVersion(), {}, rows)) {
        // A file without the version table is no database of this program: say what it lacks.
        if (MaybeError missing = check(connection))
            return missing;
        return error;
    }
    bool ok = false;
    stored = rows.value(0, QStringLiteral("N")).toInt(&ok);
    if (!ok)
        return DbError{DbErrorNumber::Generic, QStringLiteral("La base de datos no indica su versión.")};
    return std::nullopt;
}

QList<Schema::MigrationStep> Schema::migrationSteps()
{
    // Each step makes its tables as they are defined today; a later change to one of them comes
    // as a step of its own, and this step must then spell out the shape it made.
    return {
        {2,
            [](Connection &connection) {
                // The shape ENVIOS had before step 3 added OMITIDA.
                const TableDefinition envios(QStringLiteral("ENVIOS"),
                    {{QStringLiteral("NRO_PEDIDO"), TableDefinition::Type::Integer, true},
                        {QStringLiteral("ENVIADO"), TableDefinition::Type::Text, true}},
                    Tables::envios().uniqueKeys());
                return createTables(connection, {&Tables::servidor(), &envios});
            }},
        // The orders not to be sent, and the article list's format.
        {3,
            [](Connection &connection) {
                if (MaybeError error
                    = connection.execute(QStringLiteral("ALTER TABLE ENVIOS ADD COLUMN OMITIDA INTEGER")))
                    return MaybeError(error);
                return createTables(connection, {&Tables::formatoLista()});
            }},
    };
}

MaybeError Schema::upgrade(Connection &connection, int target, const QList<MigrationStep> &steps)
{
    int stored = 0;
    if (MaybeError error = readVersion(connection, stored))
        return error;
    const QString shown = QDir::toNativeSeparators(connection.path());
    if (stored > target)
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La base de datos '%1' es de una versión más nueva de Recorvan (formato %2; este programa "
                           "usa el formato %3). Actualice el programa para usarla.")
                .arg(shown)
                .arg(stored)
                .arg(target)};
    if (stored == target)
        return std::nullopt;

    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    for (int next = stored + 1; next <= target; ++next) {
        const auto step = std::find_if(
            steps.cbegin(), steps.cend(), [next](const MigrationStep &s) { return s.toVersion == next; });
        if (step == steps.cend())
            return DbError{DbErrorNumber::Generic,
                QStringLiteral("No se sabe llevar la base de datos '%1' del formato %2 al %3.")
                    .arg(shown)
                    .arg(next - 1)
                    .arg(next)};
        if (MaybeError error = step->apply(connection))
            return error;
    }
    if (MaybeError error = connection.execute(updateVersion(), {target}))
        return error;
    return transaction.commit();
}

MaybeError Schema::readSettings(Connection &connection, std::optional<StoredSettings> &settings)
{
    RowSet setup;
    // The first row, as a plain reading of the table gives it.
    if (MaybeError error = connection.select(Tables::setup().selectStatement({}, QStringLiteral("rowid")), {}, setup))
        return error;
    settings.reset();
    if (setup.count() > 0) {
        settings = StoredSettings{setup.text(0, QStringLiteral("EMPRESA")), setup.text(0, QStringLiteral("RECORVAN")),
            setup.text(0, QStringLiteral("ULTIMO_PEDIDO"))};
    }
    return std::nullopt;
}
