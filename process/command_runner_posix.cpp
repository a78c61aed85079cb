#include "command_runner.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How often window events get a turn while a command runs; the wait
// itself sleeps in poll().
constexpr int kEventIntervalMs = 100;

class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }
    int Get() const { return fd_; }
    void Reset()
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

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

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw RunError(what + ": " + std::strerror(error));
}

} // namespace

CommandResult EjecutaComando(const std::string& command, const std::function<void()>& processEvents)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        Fail("No se puede ejecutar la orden", errno);
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 2);

    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", actions.Get(), nullptr, const_cast<char**>(argv), environ);
    if (spawned != 0)
        Fail("No se puede ejecutar /bin/sh", spawned);
    writeEnd.Reset();

    // The output ends when the command and everything it started have ended.
    CommandResult result;
    char buffer[4096];
    for (;;) {
        pollfd watched = {readEnd.Get(), POLLIN, 0};
        const int ready = poll(&watched, 1, kEventIntervalMs);
        if (ready < 0 && errno != EINTR)
            Fail("No se puede esperar a la orden", errno);
        if (ready > 0) {
            const ssize_t got = read(readEnd.Get(), buffer, sizeof buffer);
            if (got == 0)
                break;
            if (got > 0)
                result.output.append(buffer, static_cast<std::size_t>(got));
            else if (errno != EINTR)
                Fail("No se puede leer la salida de la orden", errno);
        }
        processEvents();
    }

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            Fail("No se puede esperar a la orden", errno);
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
