#pragma once

#include "dberror.h"

#include <functional>

// Runs a step of a stored-data routine until it succeeds or the user gives up: each failure
// shows its description in a box titled "Error: " and its number, with Retry and Cancel.
// Returns true on success, false on Cancel.
bool runWithRetry(const std::function<MaybeError()> &step);
