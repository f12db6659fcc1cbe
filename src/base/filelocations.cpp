#include "filelocations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

FileLocations::Places FileLocations::decide(const Machine &machine)
{
    const QString program = QDir::cleanPath(machine.programFolder);
    // Root may write to the system's folder too: the installed copy is known by its place.
    const bool installed = !machine.installedFolder.isEmpty() && program == QDir::cleanPath(machine.installedFolder);
    if (machine.programFolderWritable && !installed)
        return {program, program};
    return {QDir::cleanPath(machine.userData),
        QDir::cleanPath(machine.userDocuments.isEmpty() ? machine.home : machine.userDocuments)};
}

FileLocations::Machine FileLocations::machineOf(const QString &programFolder)
{
    Machine machine;
    machine.programFolder = programFolder;
    machine.programFolderWritable = QFileInfo(programFolder).isWritable();
    machine.installedFolder = QStringLiteral(RECORVAN_INSTALLED_FOLDER);
    machine.userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A documents folder that is not there would make the proposed PDF fail to write.
    if (QFileInfo(documents).isDir())
        machine.userDocuments = documents;
    machine.home = QDir::homePath();
    return machine;
}
