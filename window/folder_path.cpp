#include "folder_path.h"

#include <algorithm>

namespace {

const char kSeparator = '\\';
const std::string kSharePrefix = "\\\\";
const std::string kLongPrefix = "\\\\?\\";
const std::string kLongSharePrefix = "\\\\?\\UNC\\";

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool HasDrive(const std::string& path)
{
    const char letter = path.empty() ? '\0' : path[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path.size() >= 2 && path[1] == ':';
}

bool IsShare(const std::string& path)
{
    return StartsWith(path, kSharePrefix);
}

// The names between the separators, without empty ones.
std::vector<std::string> Names(const std::string& text)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(kSeparator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

std::string NormalFolder(const std::string& path)
{
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', kSeparator);
    if (StartsWith(text, kLongSharePrefix))
        text = kSharePrefix + text.substr(kLongSharePrefix.size());
    else if (StartsWith(text, kLongPrefix))
        text = text.substr(kLongPrefix.size());

    std::string root;
    std::vector<std::string> names;
    if (HasDrive(text)) {
        const char letter = static_cast<char>(text[0] >= 'a' ? text[0] - 'a' + 'A' : text[0]);
        root = {letter, ':', kSeparator};
        names = Names(text.substr(2));
    } else if (IsShare(text)) {
        // Server and share name make the root: ".." does not climb above it.
        names = Names(text.substr(kSharePrefix.size()));
        const std::size_t rootNames = std::min<std::size_t>(names.size(), 2);
        root = kSharePrefix;
        for (std::size_t i = 0; i < rootNames; ++i)
            root += (i > 0 ? "\\" : "") + names[i];
        names.erase(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(rootNames));
    } else {
        names = Names(text);
    }

    std::vector<std::string> kept;
    for (const std::string& name : names) {
        if (name == "..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (name != ".") {
            kept.push_back(name);
        }
    }
    std::string folder = root;
    for (const std::string& name : kept)
        folder = SubFolder(folder, name);
    return folder;
}

std::string FolderRoot(const std::string& folder)
{
    if (HasDrive(folder))
        return {folder[0], ':', kSeparator};
    if (!IsShare(folder))
        return {};
    const std::size_t afterServer = folder.find(kSeparator, kSharePrefix.size());
    if (afterServer == std::string::npos)
        return folder;
    return folder.substr(0, folder.find(kSeparator, afterServer + 1));
}

char FolderDrive(const std::string& folder)
{
    return HasDrive(folder) ? folder[0] : '\0';
}

std::string SubFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == kSeparator)
        return folder + name;
    return folder + kSeparator + name;
}

std::vector<std::string> FolderChain(const std::string& folder)
{
    const std::string root = FolderRoot(folder);
    if (root.empty())
        return {folder};
    std::vector<std::string> chain = {root};
    for (const std::string& name : Names(folder.substr(root.size())))
        chain.push_back(SubFolder(chain.back(), name));
    return chain;
}

std::string FolderName(const std::string& folder)
{
    if (folder.size() <= FolderRoot(folder).size())
        return folder;
    return folder.substr(folder.rfind(kSeparator) + 1);
}

std::string LongPathForm(const std::string& folder)
{
    if (HasDrive(folder))
        return kLongPrefix + folder;
    if (IsShare(folder))
        return kLongSharePrefix + folder.substr(kSharePrefix.size());
    return folder;
}

std::vector<FolderEntry> FolderTree(const std::string& folder, const std::vector<std::string>& subFolders)
{
    std::vector<FolderEntry> entries;
    for (const std::string& step : FolderChain(folder))
        entries.push_back({step, static_cast<int>(entries.size()), true});
    const int depth = static_cast<int>(entries.size());
    for (const std::string& name : subFolders)
        entries.push_back({SubFolder(folder, name), depth, false});
    return entries;
}
