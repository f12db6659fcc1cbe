#pragma once

#include "data/dberror.h"

class Connection;

// Fills a new database with a catalogue and customers to try the program with.
MaybeError fillDemoCatalogue(Connection &connection);
