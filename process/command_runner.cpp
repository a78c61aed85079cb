#include "command_runner.h"

// One command alone is started, waited for and finished like those that
// run side by side.
CommandResult EjecutaComando(const Command& command, const std::function<void()>& processEvents)
{
    const std::unique_ptr<StartedCommand> started = StartCommand(command);
    WaitForCommands({started.get()}, std::nullopt, processEvents);
    return FinishCommand(*started);
}
