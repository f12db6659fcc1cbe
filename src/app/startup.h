#pragma once

#include "data/dberror.h"

#include <QString>
#include <QWidget>

#include <functional>

// Opens the database beside the program and reads the company settings into the globals.
MaybeError AbroConexion(const QString &programFolder);
MaybeError LeoSetup();
void CierroConexion();

// The program's start: open the store, read the settings, show the main window made by
// createWindow and run the event loop. A start-up failure is shown with its number and
// description and ends the run with a non-zero result before any window appears.
int Main(const QString &programFolder, const std::function<QWidget *()> &createWindow);
