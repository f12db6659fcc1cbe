#pragma once

#include "data/dberror.h"

#include <QString>
#include <QWidget>

#include <functional>

// Opens database.mdb in the database folder and reads the company settings into the globals.
// The database is claimed for the run first, so that a second copy of the program never works
// on it at the same time; a file that is refused is left exactly as it was.
MaybeError AbroConexion(const QString &databaseFolder);
MaybeError LeoSetup();
// Closes the run's connection and gives up the claim on the database.
void CierroConexion();

// The end of the run when the main window unloads: the connection is closed, pending events
// run once, and the event loop ends.
void endRun();

// The program's start: open the store in the database folder (with no database there, offer to
// create or convert one), read the settings, show the main window made by createWindow and run
// the event loop. A start-up failure is shown with its number and description and ends the run
// with a non-zero result before any window appears. A session that ends (SIGTERM, SIGHUP,
// SIGINT) closes the main window as the user would.
int Main(const QString &databaseFolder, const std::function<QWidget *()> &createWindow);
