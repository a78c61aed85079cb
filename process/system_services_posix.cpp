#include "system_services.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "command_runner.h"
#include "paths.h"
#include "posix_fd.h"
#include "text_bytes.h"
#include "texts.h"

PathKind SystemServices::Look(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
    const int error = errno;
    if (error != ENOENT && error != ENOTDIR)
        throw RunError(texts::CannotCheck(path) + ": " + std::strerror(error));
    // Something missing in a share that is there is missing; a share that
    // is not there is one that cannot be reached, and the system says why.
    const std::string share = ShareOf(path);
    if (share.empty())
        return PathKind::Missing;
    const bool inShare = path.find_first_not_of('/', share.size()) != std::string::npos;
    if (inShare && stat(share.c_str(), &info) == 0)
        return PathKind::Missing;
    throw RunError(texts::CannotCheck(path) + ": " + std::strerror(error));
}

bool SystemServices::SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
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
        throw RunError(texts::kProgramFolderUnknown);
    path.resize(static_cast<std::size_t>(length));
    const auto slash = path.find_last_of('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemServices::ReadTextFile(const std::string& path)
{
    const UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        if (errno == ENOENT)
            throw RunError(texts::FileNotFound(path));
        throw RunError(texts::CannotOpenFile(path) + ": " + std::strerror(errno));
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(file.Get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            throw RunError(texts::kCannotReadFile + path + ": " + std::strerror(errno));
    }
    // Without a mark the bytes are taken as they are: no 8-bit code page here.
    return TextFileToUtf8(bytes, [](const std::string& legacy) { return legacy; });
}

FreeSpace SystemServices::SpaceOf(const std::string& folder)
{
    struct statvfs volume {};
    struct stat info {};
    if (statvfs(folder.c_str(), &volume) != 0 || stat(folder.c_str(), &info) != 0)
        throw RunError(texts::SpaceNotKnown(folder) + ": " + std::strerror(errno));
    FreeSpace space;
    space.bytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
    // The volume is named by its mount point: the last folder up the path
    // on the same device.
    space.volume = folder;
    for (std::string up = folder; !up.empty() && up != "/";) {
        const auto slash = up.find_last_of('/');
        up = slash == 0 ? "/" : up.substr(0, slash == std::string::npos ? 0 : slash);
        struct stat parent {};
        if (up.empty() || stat(up.c_str(), &parent) != 0 || parent.st_dev != info.st_dev)
            break;
        space.volume = up;
    }
    return space;
}

std::optional<std::uint64_t> SystemServices::SizeOf(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool SystemServices::RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0 || errno == ENOENT;
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
    UniqueFd file(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!file.Valid())
        return false;
    struct stat info {};
    bool written = fstat(file.Get(), &info) == 0;
    const std::string bytes = (written && info.st_size == 0 ? "\xEF\xBB\xBF" : "") + utf8Text;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t wrote = write(file.Get(), bytes.data() + done, bytes.size() - done);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (wrote < 0 && errno != EINTR)
            written = false;
    }
    // A write that fails only when the file is closed (a full disk, a
    // network share) is still a failure.
    return close(file.Release()) == 0 && written;
}

// Test builds only: no request to stay awake is made on this system.
void SystemServices::KeepAwake(bool) {}
