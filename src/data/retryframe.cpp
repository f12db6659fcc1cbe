#include "retryframe.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"

bool runWithRetry(Dialogs &dialogs, const std::function<MaybeError()> &step)
{
    for (;;) {
        const MaybeError error = step();
        if (!error)
            return true;
        const Dialogs::Button answer = dialogs.message(error->description, MessageTitles::error(error->number),
            Dialogs::Critical, Dialogs::Retry | Dialogs::Cancel, Dialogs::Retry);
        if (answer != Dialogs::Retry)
            return false;
    }
}
