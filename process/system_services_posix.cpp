#include "system_services.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <memory>

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
