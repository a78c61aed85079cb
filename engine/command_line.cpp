#include "command_line.h"

#include <algorithm>
#include <cctype>

#include "table_list.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

#ifdef _WIN32
// cmd.exe reads these outside quotes; ",;=" also split arguments for some
// programs. Everything else, letters beyond ASCII included, passes bare.
bool IsSpecial(char c)
{
    static const std::string special = " \t&|<>^(),;=!'`+[]{}~";
    return special.find(c) != std::string::npos;
}
#else
bool IsSpecial(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80)
        return false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return false;
    static const std::string safe = "_./:@%+,=-";
    return safe.find(c) == std::string::npos;
}
#endif

std::string Proutil(const std::string& dlcFolder)
{
    return QuoteArgument(JoinPath(dlcFolder, "proutil"));
}

std::string DatabaseFile(const std::string& dbFolder, const std::string& database)
{
    return QuoteArgument(JoinPath(dbFolder, database + ".db"));
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + kPathSeparator + name;
}

std::string TrimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
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

std::string DumpFilePath(const std::string& dumpFolder, const std::string& database, const std::string& table)
{
    return JoinPath(JoinPath(dumpFolder, database), DumpFileName(table));
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

bool CanPassIntact(const std::string& text)
{
#ifdef _WIN32
    if (text.find_first_of("\"%") != std::string::npos)
        return false;
#endif
    return std::none_of(text.begin(), text.end(), IsControl);
}

std::string QuoteArgument(const std::string& text)
{
    if (std::none_of(text.begin(), text.end(), IsSpecial))
        return text;
#ifdef _WIN32
    return '"' + text + '"';
#else
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
#endif
}

std::string DumpCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder)
{
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C dump " + QuoteArgument(table) + ' ' +
           QuoteArgument(JoinPath(dumpFolder, database));
}

std::string LoadCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder)
{
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C load " +
           QuoteArgument(DumpFilePath(dumpFolder, database, table));
}

std::string IndexRebuildCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                const std::string& database)
{
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C idxbuild all";
}

std::string TableAnalysisCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                 const std::string& database)
{
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C tabanalys";
}
