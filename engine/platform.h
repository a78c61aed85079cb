#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// An error raised inside the program itself (a file that cannot be read, a
// command that cannot be started). what() is the Spanish text shown to the user.
class RunError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Nothing of the command ran: it could not be prepared (no ComSpec, no
// file for its output, ...) or started, so it is no command that failed.
class CommandNotRun : public RunError {
  public:
    using RunError::RunError;
};

// The command interpreter itself could not be started, which a busy machine
// may let it do a moment later: trying it again cannot repeat any of its work.
class CommandNotStarted : public CommandNotRun {
  public:
    using CommandNotRun::CommandNotRun;
};

// A utility that prints without end must not fill the memory or the log:
// of a longer output only the first and the last this many bytes are kept.
inline constexpr std::size_t kOutputKeptBytes = 512 * 1024;

struct CommandResult {
    CommandResult() = default;
    CommandResult(int code, std::string printed) : exitCode(code), output(std::move(printed)) {}

    int exitCode = 0;
    // Standard output and error together, UTF-8. When the command printed
    // more than twice kOutputKeptBytes, output is its beginning, outputEnd
    // its end and outputLeftOut the number of bytes between them.
    std::string output;
    std::uint64_t outputLeftOut = 0;
    std::string outputEnd;
};

// One command for the command interpreter and how it is started.
struct Command {
    std::string line;
    // The command's current folder; empty for the program's own. The
    // program's own current folder never changes.
    std::string workingFolder;
    // Variables set for this command only, over the program's environment.
    std::vector<std::pair<std::string, std::string>> environment;
    // When not empty, everything the command prints is also kept whole in
    // this file, byte for byte as printed, replacing what the file held.
    std::string outputFile;
};

// A command that StartCommand started, until FinishCommand has taken its
// end. Destroying it lets the command go on by itself.
class StartedCommand {
  public:
    virtual ~StartedCommand() = default;
};

enum class PathKind { Missing, File, Folder };

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

// The room left on the volume that holds a folder.
struct FreeSpace {
    // As the system names the volume: E:\, \\server\share\.
    std::string volume;
    // What this program's user may still write there (quotas included).
    std::uint64_t bytes = 0;
};

// The services of the operating system that the engine uses. Paths are UTF-8.
class Platform {
  public:
    virtual ~Platform() = default;

    // What the path names. Throws RunError when the question cannot be
    // answered, e.g. the share cannot be reached; its text says why.
    virtual PathKind Look(const std::string& path) = 0;
    // True when both paths name one and the same existing file or folder,
    // however they are spelt (letter case, trailing separator, short names,
    // "..", links). False when either does not exist or cannot be opened.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // False when the folder could not be created, for whatever reason.
    virtual bool CreateFolder(const std::string& path) = 0;
    // The folder that holds the running program, without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // The whole text of a file (a table list, a kept output), converted to
    // UTF-8: UTF-8 or UTF-16 when the file starts with their byte order mark
    // (which is dropped), the system's 8-bit code page otherwise. Throws
    // RunError.
    virtual std::string ReadTextFile(const std::string& path) = 0;
    // Throws RunError when it cannot be known; its text says why.
    virtual FreeSpace SpaceOf(const std::string& folder) = 0;
    // The size of a file; nothing when it is not there or cannot be known.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
    // False when the file is there and could not be removed; a file that
    // is not there is no failure.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Starts one command through the command interpreter and returns at
    // once. Throws CommandNotStarted when the interpreter cannot be started,
    // CommandNotRun when the command cannot be prepared, RunError when it
    // cannot be watched or its output cannot be kept.
    virtual std::unique_ptr<StartedCommand> StartCommand(const Command& command) = 0;
    // Sleeps without using the CPU until one of the commands has ended or
    // the timeout has passed, calling whileWaiting whenever window events
    // may be pending. Returns the position in commands of one that has
    // ended, and nothing when the time is up first; without a timeout it
    // waits as long as it takes. Throws RunError when they cannot be watched.
    virtual std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                                       std::optional<std::chrono::milliseconds> timeout,
                                                       const std::function<void()>& whileWaiting) = 0;
    // How a command that WaitForCommands found ended ended: its exit code
    // and what it printed. Throws RunError when that cannot be known or its
    // output kept.
    virtual CommandResult FinishCommand(StartedCommand& command) = 0;
    virtual ClockReading Now() = 0;
    // Adds the bytes at the end of the file, creating it, with a UTF-8 byte
    // order mark first, when it is absent or empty. The file is open only
    // during the call and others may read and write it meanwhile. False when
    // any of it could not be written.
    virtual bool AppendToFile(const std::string& path, const std::string& utf8Text) = 0;
    // While true the system does not go to sleep (the display may); asked at
    // the start of a run's commands and given back at its end.
    virtual void KeepAwake(bool awake) = 0;
};
