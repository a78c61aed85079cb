#include "system_services.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "command_runner.h"

bool SystemServices::FileExists(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return !S_ISDIR(info.st_mode);
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    throw RunError("No se puede comprobar el fichero " + path + ": " + std::strerror(errno));
}

bool SystemServices::CreateFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

std::string SystemServices::ProgramFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        throw RunError("No se puede saber la carpeta del programa");
    path.resize(static_cast<std::size_t>(length));
    const auto slash = path.find_last_of('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemServices::ReadTableList(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        if (errno == ENOENT)
            throw RunError("No se encuentra el fichero " + path);
        throw RunError("No se puede abrir el fichero " + path + ": " + std::strerror(errno));
    }
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, got);
    if (std::ferror(file.get()))
        throw RunError("No se puede leer el fichero " + path + ": " + std::strerror(errno));
    return text;
}

CommandResult SystemServices::RunCommand(const std::string& line, const std::function<void()>& whileWaiting)
{
    return EjecutaComando(line, whileWaiting);
}

ClockReading SystemServices::Now()
{
    ClockReading reading;
    reading.steady =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) {
        reading.local = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    return reading;
}

bool SystemServices::AppendToFile(const std::string& path, const std::string& utf8Text)
{
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    bool written = fstat(fd, &info) == 0;
    const std::string bytes = (written && info.st_size == 0 ? "\xEF\xBB\xBF" : "") + utf8Text;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (wrote < 0 && errno != EINTR)
            written = false;
    }
    return close(fd) == 0 && written;
}
