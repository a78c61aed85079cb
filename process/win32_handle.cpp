#include "win32_handle.h"

#include <algorithm>

bool ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t most, std::string& into)
{
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    char buffer[64 * 1024];
    while (most > 0) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, static_cast<DWORD>(std::min(most, sizeof buffer)), &got, nullptr))
            return false;
        if (got == 0)
            break;
        into.append(buffer, got);
        most -= got;
    }
    return true;
}
