#pragma once

#include <QString>

// A database written under a hidden name beside its target and renamed into place at the end,
// so that a process cut short never leaves half a database under the target's name.
namespace DatabaseAside {

// A new hidden name beside `target`, on the same file system, so that the rename stays one step.
QString temporaryFor(const QString &target);
// The file and its journals.
void remove(const QString &temporary);
// Whatever a writer into `target` that was cut short (killed, crashed) left beside it; `target`
// itself is left alone.
void removeUnfinished(const QString &target);

} // namespace DatabaseAside
