#include "system_services.h"

#include "command_runner.h"

// Commands are run the same way on every system: by the command runner.

CommandResult SystemServices::RunCommand(const Command& command, const std::function<void()>& whileWaiting)
{
    return EjecutaComando(command, whileWaiting);
}

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

// A pause is a wait for no command.
void SystemServices::Pause(std::chrono::milliseconds duration, const std::function<void()>& whileWaiting)
{
    ::WaitForCommands({}, duration, whileWaiting);
}
