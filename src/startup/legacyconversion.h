#pragma once

#include <QString>

// What start-up did about a database.mdb that is the older program's Access (Jet) file.
enum class LegacyOutcome {
    NotLegacy, // the file is something else; start-up goes on as usual
    Converted, // converted; database.mdb is now the new database, the original kept beside it
    Declined, // the user chose not to convert, or not to go on without rows it lost; the program ends
    Failed, // the conversion failed; the original is where and as it was, the program ends
};

// When database.mdb in the database folder is an Access file of the older program, asks
// whether to convert it now. On Yes the original is renamed beside it (database-anterior.mdb,
// or database-anterior-2.mdb and so on, never over an earlier one), the converted database
// becomes database.mdb and the report is shown. When the damaged file gave up fewer rows than
// it holds, the user is asked first whether to go on without them. The file is read by
// recorvan-db, beside the program, in a process of its own. Every box goes through Dialogs.
LegacyOutcome offerLegacyConversion(const QString &databaseFolder);

// Converts an older database the user chose (a first start without a database) into
// database.mdb in the database folder, made if need be (mode 700). The chosen file is only read;
// the lost rows question, the report and every failure are shown as offerLegacyConversion shows
// them. A file that is not the older program's is told, and is NotLegacy.
LegacyOutcome ConviertoElegida(const QString &chosen, const QString &databaseFolder);

// The name the original gets: the first of database-anterior.mdb, database-anterior-2.mdb, ...
// that is free in the folder.
QString keptOriginalName(const QString &databaseFolder);
