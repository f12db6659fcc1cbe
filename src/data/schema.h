#pragma once

#include "base/ordernumber.h"
#include "dberror.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Connection;

// The stored format: the tables of Tables, with a version number kept in the file. A database
// written by an older program is brought forward by numbered steps; one from a newer program
// is refused.
class Schema
{
public:
    static constexpr int version = 3;

    struct Settings
    {
        QString empresa;
        QString vendedor;
        OrderNumber ultimoPedido;
    };

    // The first settings row as stored, each column as its text (a missing value is empty).
    struct StoredSettings
    {
        QString empresa;
        QString vendedor;
        QString ultimoPedido;
    };

    // One numbered step: what turns a database of version toVersion - 1 into toVersion.
    struct MigrationStep
    {
        int toVersion = 0;
        std::function<MaybeError(Connection &)> apply;
    };

    // Creates the tables on an empty, open database.
    static MaybeError create(Connection &connection);
    // Creates the tables and the one settings row, in one transaction.
    static MaybeError createWithSettings(Connection &connection, const Settings &settings);
    // Fails, naming the table or column, when the open database lacks part of the format.
    static MaybeError check(Connection &connection);

    // The version the file says it has; a file without one is not a Recorvan database.
    static MaybeError readVersion(Connection &connection, int &stored);
    // The steps of this program, in order.
    static QList<MigrationStep> migrationSteps();
    // Brings a database of an older version up to `target` in one transaction, step by step;
    // refuses a newer one without changing it.
    static MaybeError upgrade(
        Connection &connection, int target = version, const QList<MigrationStep> &steps = migrationSteps());

    // The first row of SETUP; nullopt when the table holds none.
    static MaybeError readSettings(Connection &connection, std::optional<StoredSettings> &settings);
};
