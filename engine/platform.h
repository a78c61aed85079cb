#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// An error raised inside the program itself (a file that cannot be read, a
// command that cannot be started). what() is the Spanish text shown to the user.
class RunError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CommandResult {
    int exitCode = 0;
    // Standard output and error together, UTF-8.
    std::string output;
};

// The services of the operating system that the engine uses. Paths are UTF-8.
class Platform {
  public:
    virtual ~Platform() = default;

    // True when a file (not a folder) of that name exists. Throws RunError
    // when the question cannot be answered, e.g. the drive is not there.
    virtual bool FileExists(const std::string& path) = 0;
    // False when the folder could not be created, for whatever reason.
    virtual bool CreateFolder(const std::string& path) = 0;
    // The folder that holds the running program, without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // The whole text of a table list, converted to UTF-8. Throws RunError.
    virtual std::string ReadTableList(const std::string& path) = 0;
    // Runs one command line through the command interpreter and returns only
    // when it has ended, calling whileWaiting whenever window events may be
    // pending. Throws RunError when the command cannot be started or watched.
    virtual CommandResult RunCommand(const std::string& line,
                                     const std::function<void()>& whileWaiting) = 0;
};
