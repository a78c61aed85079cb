#include "record_comparison.h"

#include <map>
#include <set>

namespace {

// A table loaded here must hold the source's records, and no other may
// differ but the transactions table left out on purpose.
TableComparison::Kind KindOf(bool loaded, bool leftOut, long long source, long long destination)
{
    using Kind = TableComparison::Kind;
    if (!loaded && source > 0)
        return leftOut ? Kind::LeftOut : Kind::NotCopied;
    return source == destination ? Kind::Equal : Kind::Different;
}

} // namespace

std::vector<TableComparison> CompareRecords(const TableAnalysis& source, const TableAnalysis& destination,
                                            const std::vector<PlannedTable>& tables)
{
    // By TableKey, the name as the list has it.
    std::map<std::string, std::string> loaded;
    std::set<std::string> leftOut;
    for (const PlannedTable& table : tables) {
        if (table.listed.Runs())
            loaded[TableKey(table.listed.name)] = table.listed.name;
        else if (table.listed.leftOut)
            leftOut.insert(TableKey(table.listed.name));
    }
    std::map<std::string, std::string> names;
    for (const TableAnalysis* analysis : {&destination, &source}) {
        for (const auto& [key, records] : analysis->tables)
            names[key] = records.name;
    }
    for (const auto& [key, name] : loaded)
        names[key] = name;

    std::vector<TableComparison> compared;
    for (const auto& [key, name] : names) {
        const long long before = RecordsOf(source, key);
        const long long after = RecordsOf(destination, key);
        compared.push_back({KindOf(loaded.count(key) > 0, leftOut.count(key) > 0, before, after), name, before, after});
    }
    return compared;
}
