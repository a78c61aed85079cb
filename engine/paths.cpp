#include "paths.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + kPathSeparator + name;
}

bool IsFullPath(const std::string& path)
{
#ifdef _WIN32
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       IsSeparator(path[2]);
    return drive || IsNetworkPath(path);
#else
    return !path.empty() && path[0] == '/';
#endif
}

bool IsNetworkPath(const std::string& path)
{
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::string ShareOf(const std::string& path)
{
    if (!IsNetworkPath(path))
        return {};
    const auto server = std::find_if(path.begin() + 2, path.end(), IsSeparator);
    const auto share = std::find_if(server == path.end() ? server : server + 1, path.end(), IsSeparator);
    return server == path.end() ? path : std::string(path.begin(), share);
}

std::string ParentFolder(const std::string& folder)
{
    const auto end = folder.find_last_not_of(kPathSeparator);
    if (end == std::string::npos)
        return {};
    const auto separator = folder.find_last_of(kPathSeparator, end);
    if (separator == std::string::npos || separator == 0)
        return {};
    // C:\dlc gives C:\, the root keeps its separator.
    if (separator == 2 && folder[1] == ':')
        return folder.substr(0, 3);
    return folder.substr(0, separator);
}
