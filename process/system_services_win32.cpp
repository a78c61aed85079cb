#include "system_services.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "command_runner.h"
#include "paths.h"
#include "text_bytes.h"
#include "texts.h"
#include "win32_handle.h"
#include "win32_text.h"

namespace {

// Backup semantics open folders too; no access right is asked for, so files
// that others hold open without sharing can still be identified.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const UniqueHandle file(CreateFileW(Utf16(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.Valid() && GetFileInformationByHandle(file.Get(), &info);
}

} // namespace

PathKind SystemServices::Look(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
    const SystemError error;
    if (error.Code() != ERROR_FILE_NOT_FOUND && error.Code() != ERROR_PATH_NOT_FOUND)
        throw RunError(texts::CannotCheck(path) + ": " + error.Text());
    // Something missing in a share that is there is missing; a share that
    // is not there is one that cannot be reached, and the system says why.
    const std::string share = ShareOf(path);
    if (share.empty())
        return PathKind::Missing;
    const bool inShare = path.find_first_not_of("\\/", share.size()) != std::string::npos;
    if (inShare && GetFileAttributesW(Utf16(share).c_str()) != INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    throw RunError(texts::CannotCheck(path) + ": " + error.Text());
}

bool SystemServices::SameFile(const std::string& a, const std::string& b)
{
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return Identify(a, first) && Identify(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool SystemServices::CreateFolder(const std::string& path)
{
    return CreateDirectoryW(Utf16(path).c_str(), nullptr) != 0;
}

std::string SystemServices::ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            ThrowSystemError<RunError>(texts::kProgramFolderUnknown);
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L'\\');
    // The root of a drive keeps its separator: C:\ and not C:
    if (slash == std::wstring::npos)
        return Utf8(path);
    return Utf8(path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash));
}

std::string SystemServices::ReadTextFile(const std::string& path)
{
    UniqueHandle file(CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const SystemError error;
        if (error.Code() == ERROR_FILE_NOT_FOUND || error.Code() == ERROR_PATH_NOT_FOUND)
            throw RunError(texts::FileNotFound(path));
        throw RunError(texts::CannotOpenFile(path) + ": " + error.Text());
    }
    std::string bytes;
    if (!ReadFileBytes(file.Get(), 0, SIZE_MAX, bytes))
        ThrowSystemError<RunError>(texts::kCannotReadFile, path);
    // Lists are written in the system's 8-bit code page unless marked.
    return TextFileToUtf8(bytes, [](const std::string& legacy) { return Utf8FromCodePage(legacy, CP_ACP); });
}

FreeSpace SystemServices::SpaceOf(const std::string& folder)
{
    const std::wstring path = Utf16(folder);
    FreeSpace space;
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr))
        throw RunError(texts::SpaceNotKnown(folder) + ": " + SystemError().Text());
    space.bytes = available.QuadPart;
    // A volume mounted in a folder is named by that folder.
    std::wstring volume(MAX_PATH + 1, L'\0');
    if (GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
        space.volume = Utf8(volume.c_str());
    else
        space.volume = folder;
    return space;
}

std::optional<std::uint64_t> SystemServices::SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Utf16(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool SystemServices::RemoveFile(const std::string& path)
{
    if (DeleteFileW(Utf16(path).c_str()))
        return true;
    const DWORD error = SystemError().Code();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

ClockReading SystemServices::Now()
{
    ClockReading reading;
    reading.steady = std::chrono::milliseconds(GetTickCount64());
    SYSTEMTIME local{};
    GetLocalTime(&local);
    reading.local = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return reading;
}

// FILE_APPEND_DATA without FILE_WRITE_DATA makes every write land at the
// end, even when another program appends to the same file meanwhile.
bool SystemServices::AppendToFile(const std::string& path, const std::string& utf8Text)
{
    UniqueHandle file(CreateFileW(Utf16(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size))
        return false;
    const std::string bytes = (size.QuadPart == 0 ? "\xEF\xBB\xBF" : "") + utf8Text;
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

void SystemServices::KeepAwake(bool awake)
{
    SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}
