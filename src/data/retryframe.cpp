#include "retryframe.h"

#include "app/dialogs.h"

bool runWithRetry(const std::function<MaybeError()> &step)
{
    for (;;) {
        const MaybeError error = step();
        if (!error)
            return true;
        const QMessageBox::StandardButton answer
            = Dialogs::current().message(error->description, QStringLiteral("Error: %1").arg(error->number),
                QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
        if (answer != QMessageBox::Retry)
            return false;
    }
}
