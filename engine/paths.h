#pragma once

#include <string>

// Paths as the system writes them: its separator, full paths, shares.

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

std::string JoinPath(const std::string& folder, const std::string& name);

// A path that names its drive (D:\bd) or share (\\server\bd), so that it
// does not depend on the program's current folder.
bool IsFullPath(const std::string& path);

// A share (\\server\bd), which the command interpreter cannot take as its
// current folder: Windows' cmd.exe falls back to the Windows folder.
bool IsNetworkPath(const std::string& path);

// The share a network path lies in, \\server\share, without a trailing
// separator; empty for any other path.
std::string ShareOf(const std::string& path);

// The folder that holds this one; empty for a root or a bare name.
std::string ParentFolder(const std::string& folder);
