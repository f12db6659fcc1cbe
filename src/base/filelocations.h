#pragma once

#include <QString>

// Where the program keeps its database and proposes the transfer files (entrada.dat, the day's
// PDF). A copy in a folder of its own that it may write to (a build folder, a portable folder)
// keeps everything beside itself; an installed copy, whose folder belongs to the system, keeps the
// database in the user's data folder and proposes the user's documents folder.
class FileLocations
{
public:
    // What the decision looks at.
    struct Machine
    {
        QString programFolder;
        bool programFolderWritable = false;
        QString installedFolder; // where the package puts the program
        QString userData; // the user's data folder for this program
        QString userDocuments; // empty when the user has none
        QString home;
    };
    struct Places
    {
        QString database; // the folder of database.mdb
        QString transfers; // the folder proposed for the transfer files
    };

    static Places decide(const Machine &machine);
    // This machine as it is now, for a program in programFolder.
    static Machine machineOf(const QString &programFolder);
};
