#pragma once

#include <string>
#include <vector>

// Windows folder paths as the folder picker handles them, worked out without
// asking the system. A folder is a full path, UTF-8: a drive's root keeps its
// "\" (D:\), any other folder has none (D:\datos\korvane). A network share's
// root is written without it (\\servidor\datos), as the system writes it.

// "/" read as "\", separators not doubled, "." and ".." resolved, the drive
// letter in capitals, no "\" at the end but at a drive's root, and the
// "\\?\" long-path prefix dropped.
std::string NormalFolder(const std::string& path);

// D:\ for D:\datos\korvane, \\servidor\datos for \\servidor\datos\korvane;
// empty for a path that has neither.
std::string FolderRoot(const std::string& folder);

// The drive letter of a folder on a drive, or 0.
char FolderDrive(const std::string& folder);

// The folder of that name inside folder.
std::string SubFolder(const std::string& folder, const std::string& name);

// From the root to the folder itself: D:\, D:\datos, D:\datos\korvane.
std::vector<std::string> FolderChain(const std::string& folder);

// The folder's own name; a root's name is the root.
std::string FolderName(const std::string& folder);

// The form the system accepts beyond MAX_PATH characters: \\?\D:\... or
// \\?\UNC\servidor\datos\...
std::string LongPathForm(const std::string& folder);

// One line of the folder list.
struct FolderEntry {
    std::string path;
    int depth;  // steps of indentation
    bool open;  // the current folder or one of its parents
};

// The folder list for folder: its chain from the root, each a step further
// in, then its sub-folders, in the order given, a step further in than it.
std::vector<FolderEntry> FolderTree(const std::string& folder, const std::vector<std::string>& subFolders);
