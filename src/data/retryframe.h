#pragma once

#include "dberror.h"

#include <functional>

class Dialogs;

// Runs a step of a stored-data routine until it succeeds or the user gives up: each failure
// shows its description in a box titled "Error: " and its number, with Retry and Cancel,
// through the dialogs the caller hands in. Returns true on success, false on Cancel.
bool runWithRetry(Dialogs &dialogs, const std::function<MaybeError()> &step);
