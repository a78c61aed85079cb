#include "table_list.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "quoting.h"
#include "text_lines.h"
#include "texts.h"

namespace {

const char* const kDefaultOwner = "pub";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The owner before the dot, empty when the name has none.
std::string OwnerOf(const std::string& name)
{
    const auto dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string TableOf(const std::string& name)
{
    const auto dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

bool IsDefaultOwner(const std::string& owner)
{
    return owner.empty() || Lower(owner) == kDefaultOwner;
}

// Why a table name cannot be given to proutil (it could name a file or a
// folder, or not reach proutil intact); empty when it can.
std::string TableNameProblem(const std::string& name)
{
    if (!CanPassIntact(name))
        return texts::kNameNotPassable;
    // The dump names a file after the table: a name that reads as a path
    // would write it elsewhere.
    const bool pathLike = name.find_first_of("\\/:") != std::string::npos;
    const auto dots = std::count(name.begin(), name.end(), '.');
    const bool badDots = dots > 1 || name.front() == '.' || name.back() == '.';
    const bool blanks = name.find_first_of(" \t") != std::string::npos;
    if (pathLike || badDots || blanks)
        return texts::kNotATableName;
    return {};
}

bool IsTransactionsTable(const std::string& name)
{
    return TableKey(name) == "pub.gmtrans";
}

} // namespace

std::string TableKey(const std::string& name)
{
    const std::string owner = OwnerOf(name);
    return Lower((IsDefaultOwner(owner) ? std::string(kDefaultOwner) : owner) + "." + TableOf(name));
}

std::vector<ListedTable> ListedTables(const std::string& listText, bool withTransactions)
{
    std::vector<ListedTable> tables;
    std::set<std::string> seen;
    // By the dump file's name as Windows compares file names: letter case aside.
    std::map<std::string, std::string> dumpFiles;
    for (const std::string& line : SplitLines(listText)) {
        ListedTable table{line, TrimBlanks(line), false, {}};
        if (table.name.empty())
            continue;
        table.leftOut = IsTransactionsTable(table.name) && !withTransactions;
        table.problem = TableNameProblem(table.name);
        if (table.problem.empty() && !table.leftOut) {
            // Loading a table twice would double its records; two tables
            // dumped into one file would load one twice and lose the other.
            const std::string file = DumpFileName(table.name);
            if (!seen.insert(TableKey(table.name)).second)
                table.problem = texts::kRepeatedTable;
            else if (const auto [taken, added] = dumpFiles.emplace(Lower(file), table.name); !added)
                table.problem = texts::DumpFileTaken(file, taken->second);
        }
        tables.push_back(table);
    }
    return tables;
}

std::string DumpFileName(const std::string& name)
{
    const std::string owner = OwnerOf(name);
    return (IsDefaultOwner(owner) ? TableOf(name) : owner + "_" + TableOf(name)) + ".bd";
}
