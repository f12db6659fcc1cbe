#pragma once

#include "data/dberror.h"
#include "data/schema.h"

#include <QString>

#include <functional>

// The benchmarks' company, whose databases hold DemoCatalogue's synthetic catalogues.
Schema::Settings benchCompany();
// Writes a database.mdb with a large synthetic catalogue, for the benchmarks.
MaybeError writeBenchDatabase(const QString &path, int articles, int customers);

// Runs fn the given number of times and prints the median and the best in milliseconds.
double measureMs(const char *label, int runs, const std::function<void()> &fn);
