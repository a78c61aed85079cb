#pragma once

#include <chrono>
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

// A date and time as the computer's clock shows it, in its own time zone.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct ClockReading {
    LocalTime local;
    // From a clock that only moves forward, for durations: the local time
    // jumps when the clock is set or summer time begins or ends.
    std::chrono::milliseconds steady{0};
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
    virtual ClockReading Now() = 0;
    // Adds the bytes at the end of the file, creating it, with a UTF-8 byte
    // order mark first, when it is absent or empty. The file is open only
    // during the call and others may read and write it meanwhile. False when
    // any of it could not be written.
    virtual bool AppendToFile(const std::string& path, const std::string& utf8Text) = 0;
};
