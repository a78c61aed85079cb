#include "command_runner.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "output_keeper.h"
#include "posix_fd.h"
#include "texts.h"

extern char** environ;

namespace {

// How often window events get a turn while commands run; the wait itself
// sleeps in poll().
constexpr int kEventIntervalMs = 100;

// A structure initialised in place rather than a value, so it is owned
// where it is made.
class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    posix_spawn_file_actions_t* Get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

// Before the command starts a failure is CommandNotRun; afterwards RunError.
template <typename Error = RunError>
[[noreturn]] void Fail(const std::string& what, int error)
{
    throw Error(what + ": " + std::strerror(error));
}

// The caller's copy of everything the command prints, when it asked for
// one. A write that fails is remembered, not thrown at once: the command
// must still be drained and waited for.
class OutputCopy {
  public:
    explicit OutputCopy(const std::string& path) : path_(path)
    {
        if (path.empty())
            return;
        file_.Reset(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!file_.Valid()) {
            const int error = errno;
            Fail<CommandNotRun>(texts::kCannotCreateFile + path, error);
        }
    }

    void Write(std::string_view bytes)
    {
        while (file_.Valid() && error_ == 0 && !bytes.empty()) {
            const ssize_t wrote = write(file_.Get(), bytes.data(), bytes.size());
            if (wrote >= 0)
                bytes.remove_prefix(static_cast<std::size_t>(wrote));
            else if (errno != EINTR)
                error_ = errno;
        }
    }

    // A write that fails only when the file is closed (a full disk, a
    // network share) is still a failure.
    void Finish()
    {
        if (file_.Valid() && close(file_.Release()) != 0 && error_ == 0)
            error_ = errno;
        if (error_ != 0)
            Fail(texts::CannotWriteFile(path_), error_);
    }

  private:
    std::string path_;
    UniqueFd file_;
    int error_ = 0;
};

// The program's environment with the command's variables put over it.
std::vector<std::string> CommandEnvironment(const std::vector<std::pair<std::string, std::string>>& variables)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    for (const auto& [name, value] : variables) {
        const std::string prefix = name + '=';
        std::erase_if(entries, [&prefix](const std::string& entry) { return entry.starts_with(prefix); });
        entries.push_back(prefix + value);
    }
    return entries;
}

// A started command: its process, and the pipe its output comes through,
// read as it comes, or it would block for ever once the pipe is full.
class RunningCommand : public StartedCommand {
  public:
    RunningCommand(pid_t pid, UniqueFd readEnd, std::unique_ptr<OutputCopy> copy)
        : pid_(pid), readEnd_(std::move(readEnd)), copy_(std::move(copy))
    {
    }

    int Output() const { return readEnd_.Get(); }
    // The output ends when the command and everything it started have ended.
    bool OutputEnded() const { return !readEnd_.Valid(); }

    // Takes what has come through the pipe.
    void Read()
    {
        const ssize_t got = read(readEnd_.Get(), buffer_.data(), buffer_.size());
        if (got == 0) {
            readEnd_.Reset();
        } else if (got > 0) {
            keeper_.Add({buffer_.data(), static_cast<std::size_t>(got)});
            copy_->Write({buffer_.data(), static_cast<std::size_t>(got)});
        } else if (errno != EINTR) {
            Fail(texts::kCannotReadOutput, errno);
        }
    }

    CommandResult Finish()
    {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0) {
            if (errno != EINTR)
                Fail(texts::kCannotWait, errno);
        }
        copy_->Finish();
        CommandResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        // No code page to decode from here: the bytes stay as they came.
        keeper_.Into(result, [](const std::string& bytes) { return bytes; });
        return result;
    }

  private:
    pid_t pid_;
    UniqueFd readEnd_;
    std::unique_ptr<OutputCopy> copy_;
    OutputKeeper keeper_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
};

// The first command whose output has ended.
std::optional<std::size_t> Ended(const std::vector<StartedCommand*>& commands)
{
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (static_cast<RunningCommand*>(commands[i])->OutputEnded())
            return i;
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<StartedCommand> StartCommand(const Command& command)
{
    auto copy = std::make_unique<OutputCopy>(command.outputFile);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        Fail<CommandNotRun>(texts::kCannotRunCommand, errno);
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 2);
    if (!command.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), command.workingFolder.c_str());

    const std::vector<std::string> environment = CommandEnvironment(command.environment);
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const char* argv[] = {"/bin/sh", "-c", command.line.c_str(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", actions.Get(), nullptr, const_cast<char**>(argv), envp.data());
    if (spawned != 0) {
        throw CommandNotStarted(texts::CannotRunInterpreter(argv[0], command.workingFolder) + ": " +
                                std::strerror(spawned));
    }
    return std::make_unique<RunningCommand>(pid, std::move(readEnd), std::move(copy));
}

std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                           std::optional<std::chrono::milliseconds> timeout,
                                           const std::function<void()>& processEvents)
{
    const auto end = std::chrono::steady_clock::now() + timeout.value_or(std::chrono::milliseconds(0));
    for (std::optional<std::size_t> ended = Ended(commands); !ended; ended = Ended(commands)) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (timeout && left.count() <= 0)
            return std::nullopt;
        std::vector<pollfd> watched;
        for (StartedCommand* command : commands)
            watched.push_back({static_cast<RunningCommand*>(command)->Output(), POLLIN, 0});
        const int wait = timeout ? static_cast<int>(std::min<long long>(left.count(), kEventIntervalMs)) : kEventIntervalMs;
        if (poll(watched.data(), watched.size(), wait) < 0 && errno != EINTR)
            Fail(texts::kCannotWait, errno);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (watched[i].revents != 0)
                static_cast<RunningCommand*>(commands[i])->Read();
        }
        processEvents();
    }
    return Ended(commands);
}

CommandResult FinishCommand(StartedCommand& command)
{
    return static_cast<RunningCommand&>(command).Finish();
}
