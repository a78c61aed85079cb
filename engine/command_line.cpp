#include "command_line.h"

#include <algorithm>
#include <cctype>

#include "table_list.h"

namespace {

std::string Proutil(const std::string& dlcFolder)
{
    return QuoteArgument(JoinPath(dlcFolder, "proutil"));
}

std::string DatabaseFile(const std::string& dbFolder, const std::string& database)
{
    return QuoteArgument(JoinPath(dbFolder, database + ".db"));
}

} // namespace

std::string DumpFilePath(const std::string& dumpFolder, const std::string& database, const std::string& table)
{
    return JoinPath(JoinPath(dumpFolder, database), DumpFileName(table));
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
