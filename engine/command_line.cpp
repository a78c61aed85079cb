#include "command_line.h"

#include <algorithm>

namespace {

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

std::string TableName(const std::string& line)
{
    const auto first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
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
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C dump " +
           QuoteArgument(TableName(table)) + ' ' + QuoteArgument(JoinPath(dumpFolder, database));
}

std::string LoadCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder)
{
    const std::string name = TableName(table);
    const std::string dumpFile = JoinPath(JoinPath(dumpFolder, database), name + ".bd");
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C load " +
           QuoteArgument(name) + ' ' + QuoteArgument(dumpFile);
}

std::string IndexRebuildCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                const std::string& database)
{
    return Proutil(dlcFolder) + ' ' + DatabaseFile(dbFolder, database) + " -C idxbuild all";
}
