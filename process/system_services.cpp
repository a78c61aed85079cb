#include "system_services.h"

#include "command_runner.h"

// Commands are run the same way on every system: by the command runner.

std::unique_ptr<StartedCommand> SystemServices::StartCommand(const Command& command)
{
    return ::StartCommand(command);
}

std::optional<std::size_t> SystemServices::WaitForCommands(const std::vector<StartedCommand*>& commands,
                                                           std::optional<std::chrono::milliseconds> timeout,
                                                           const std::function<void()>& whileWaiting)
{
    return ::WaitForCommands(commands, timeout, whileWaiting);
}

CommandResult SystemServices::FinishCommand(StartedCommand& command)
{
    return ::FinishCommand(command);
}
