#include "survey_questions.h"

#include "failure_report.h"
#include "record_comparison.h"
#include "texts.h"

namespace {

// In two steps: "\n" + a temporary makes GCC 12 warn of an overlap that
// cannot happen (-Wrestrict).
void AddLine(std::string& found, const std::string& line)
{
    found += '\n';
    found += line;
}

} // namespace

std::string DestinationsWithRecords(const RunPlan& plan, const std::vector<DatabaseRecords>& records,
                                    bool& withRecords)
{
    std::string found;
    for (std::size_t i = 0; i < plan.databases.size(); ++i) {
        const DatabasePlan& database = plan.databases[i];
        const Counted& counted = records[i].beforeLoad;
        // Nothing of a database without its list is loaded; its pass says why.
        if (!database.listError.empty())
            continue;
        if (!counted.analysis) {
            AddLine(found, texts::RecordsNotKnown(database.database.name, counted.why));
            continue;
        }
        std::vector<std::string> full;
        for (const PlannedTable& table : database.tables) {
            if (const long long count = RecordsOf(*counted.analysis, table.listed.name);
                table.listed.Runs() && count > 0)
                full.push_back(texts::TableRecords(table.listed.name, count));
        }
        if (!full.empty()) {
            withRecords = true;
            AddLine(found, std::string(database.database.name) + ":" + ShownLines(full, "    "));
        }
    }
    return found;
}

std::string UnlistedTables(const RunPlan& plan, const std::vector<DatabaseRecords>& records)
{
    std::string found;
    for (std::size_t i = 0; i < plan.databases.size(); ++i) {
        const DatabasePlan& database = plan.databases[i];
        const std::optional<Counted>& source = records[i].source;
        if (!database.listError.empty() || !source || !source->analysis)
            continue;
        std::vector<std::string> unlisted;
        for (const TableComparison& table : CompareRecords(*source->analysis, TableAnalysis{}, database.tables)) {
            if (table.kind == TableComparison::Kind::NotCopied)
                unlisted.push_back(texts::TableRecords(table.table, table.source));
        }
        if (!unlisted.empty())
            AddLine(found, texts::ListHeading(database.database.name) + ShownLines(unlisted, "    "));
    }
    return found;
}
