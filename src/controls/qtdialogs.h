#pragma once

#include "base/dialogs.h"

// The dialogs the user sees: modal over the active window.
class QtDialogs : public Dialogs
{
protected:
    Button showMessage(const Message &box) override;
    QString showInput(const Input &box) override;
    QString showOpenFile(const OpenFile &dialog) override;
    QString showSaveFile(const SaveFile &dialog) override;
    int showChoice(const Choice &box) override;
    std::optional<QStringList> showForm(const Form &box) override;
};
