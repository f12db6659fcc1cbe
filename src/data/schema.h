#pragma once

#include "dberror.h"

#include <QString>

class Connection;

// The stored format: five tables in standard SQL, with a version number kept in the file.
class Schema
{
public:
    static constexpr int version = 1;

    struct Settings
    {
        QString empresa;
        QString vendedor;
        qint32 ultimoPedido = 0;
    };

    // Creates the tables on an empty, open database.
    static MaybeError create(Connection &connection);
    // Creates the tables and the one settings row, in one transaction.
    static MaybeError createWithSettings(Connection &connection, const Settings &settings);
    // Fails, naming the table or column, when the open database lacks part of the format.
    static MaybeError check(Connection &connection);
};
