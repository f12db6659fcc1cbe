#pragma once

#include "base/dialogs.h"

// The tool's boxes: written to the error output and given up on, as ConsoleDialogs does, but a
// password is asked at the terminal without echo when there is one.
class TerminalDialogs : public ConsoleDialogs
{
protected:
    QString showInput(const Input &box) override;
};
