#pragma once

#include <functional>

#include "platform.h"

// Runs one command line through the command interpreter (%ComSpec% /c on
// Windows, /bin/sh -c elsewhere), hidden, with an empty standard input, in
// the command's working folder and with its environment variables set over
// the program's own, and returns when it has ended with its exit code and
// what it printed (bounded as CommandResult says; whole in the command's
// outputFile when it names one). While it waits no CPU is used: it sleeps
// until the command ends or window events arrive, and calls processEvents
// for the latter.
// Throws CommandNotStarted when the interpreter cannot be started (its
// working folder cannot be entered, for one), CommandNotRun when the command
// cannot be prepared, RunError when it cannot be watched or its output
// cannot be kept.
CommandResult EjecutaComando(const Command& command, const std::function<void()>& processEvents);
