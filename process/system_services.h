#pragma once

#include "platform.h"

// The engine's services from the real operating system.
class SystemServices : public Platform {
  public:
    bool FileExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string ReadTableList(const std::string& path) override;
    CommandResult RunCommand(const std::string& line, const std::function<void()>& whileWaiting) override;
    ClockReading Now() override;
    bool AppendToFile(const std::string& path, const std::string& utf8Text) override;
};
