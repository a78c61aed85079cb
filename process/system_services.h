#pragma once

#include "platform.h"

// The engine's services from the real operating system.
class SystemServices : public Platform {
  public:
    PathKind Look(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string ReadTextFile(const std::string& path) override;
    FreeSpace SpaceOf(const std::string& folder) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::unique_ptr<StartedCommand> StartCommand(const Command& command) override;
    std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                               std::optional<std::chrono::milliseconds> timeout,
                                               const std::function<void()>& whileWaiting) override;
    CommandResult FinishCommand(StartedCommand& command) override;
    ClockReading Now() override;
    bool AppendToFile(const std::string& path, const std::string& utf8Text) override;
    void KeepAwake(bool awake) override;
};
