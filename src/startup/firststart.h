#pragma once

#include <QString>

// What became of a start without a database.
enum class FirstStartOutcome {
    Created, // a new database was made from the settings the user typed
    Converted, // a database of the older program was converted into the folder
    Ended, // the user chose to end, or the database could not be made; the program ends
};

// Whether the folder holds no database.mdb at all. Anything else under that name (a damaged or
// foreign file, a folder, a link that leads nowhere) is refused by the opening as always.
bool databaseMissing(const QString &databaseFolder);

// With no database, asks whether to create a new one, convert one of the older program, or end.
// Creating asks the company's name, the salesperson's name and the first order number, checked by
// the rules of every settings row; converting asks for the older file and leaves it untouched,
// and a file that is not one, or a conversion refused or failed, is told and the three ways are
// offered again. Nothing is made, not even the folder, unless the user chooses to; the folder is
// made readable by its owner alone. Every box goes through Dialogs.
FirstStartOutcome offerFirstStart(const QString &databaseFolder);
