#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

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

// The same, for commands that run side by side: StartCommand starts one and
// returns at once; WaitForCommands sleeps until one of them has ended (its
// position in commands) or the timeout has passed (nothing), calling
// processEvents for window events meanwhile; FinishCommand gives how one
// that has ended ended. They throw as EjecutaComando does.
std::unique_ptr<StartedCommand> StartCommand(const Command& command);
std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                           std::optional<std::chrono::milliseconds> timeout,
                                           const std::function<void()>& processEvents);
CommandResult FinishCommand(StartedCommand& command);
