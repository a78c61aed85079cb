#include "run_plan.h"

#include "command_line.h"
#include "failure_report.h"
#include "report_files.h"
#include "texts.h"

namespace {

// The command interpreter cannot work in a network folder: it would fall
// back to the Windows folder, and proutil would put its temporary and sort
// files there. Such databases are worked on from the dump-file folder,
// which the checks before the run have made sure is a local one.
std::string WorkingFolder(const Request& request, const std::string& dbFolder)
{
    return IsNetworkPath(dbFolder) ? request.dumpFolder : dbFolder;
}

PlannedCommand Planned(const Request& request, const Direction& direction, const std::string& database,
                       std::string line, std::string outputFile = {})
{
    const std::string& dbFolder = request.*direction.dbFolder;
    return {{std::move(line), WorkingFolder(request, dbFolder), {}, std::move(outputFile)},
            request.*direction.dlcFolder,
            {},
            {JoinPath(dbFolder, database + ".db")}};
}

PlannedTable PlanTable(const Request& request, const std::string& database, ListedTable listed)
{
    PlannedTable table{std::move(listed), {}, {}};
    if (!table.listed.Runs())
        return table;
    for (auto [direction, planned] : {std::pair{&kDump, &table.dump}, std::pair{&kLoad, &table.load}}) {
        *planned = Planned(request, *direction, database,
                           direction->command(request.*direction->dlcFolder, request.*direction->dbFolder, database,
                                              table.listed.name, request.dumpFolder));
        planned->notStarted = texts::TableNotStarted(direction->verb, Shown(table.listed.name), database);
    }
    return table;
}

DatabasePlan PlanDatabase(const Request& request, const DatabaseName& database, const std::string& programFolder,
                          const std::function<std::string(const std::string&)>& readList)
{
    DatabasePlan plan{database, JoinPath(programFolder, std::string(database.name) + ".ttl"), {}, {}, {}, {}, {}};
    try {
        for (ListedTable& listed : ListedTables(readList(plan.list), request.transactions))
            plan.tables.push_back(PlanTable(request, database.name, std::move(listed)));
    } catch (const RunError& error) {
        plan.listError = error.what();
    }
    const std::string dumpFolder = JoinPath(request.dumpFolder, database.name);
    plan.sourceCount = Planned(request, kDump, database.name,
                               TableAnalysisCommand(request.sourceDlc, request.sourceFolder, database.name),
                               JoinPath(dumpFolder, kSourceReport));
    plan.destinationCount =
        Planned(request, kLoad, database.name, TableAnalysisCommand(request.destinationDlc, request.destinationFolder, database.name),
                JoinPath(dumpFolder, kDestinationReport));
    plan.indexRebuild =
        Planned(request, kLoad, database.name, IndexRebuildCommand(request.destinationDlc, request.destinationFolder, database.name));
    plan.indexRebuild.notStarted = texts::IndexesNotRebuilt(database.name);
    return plan;
}

std::vector<Phase> PhasesOf(const Request& request)
{
    std::vector<Phase> phases;
    phases.push_back(Phase::Survey);
    if (request.dump)
        phases.push_back(Phase::Dump);
    if (request.load) {
        phases.insert(phases.end(), {Phase::Load, Phase::IndexRebuild});
        if (request.verify)
            phases.push_back(Phase::Comparison);
    }
    return phases;
}

} // namespace

RunPlan MakeRunPlan(const Request& request, const std::string& programFolder,
                    const std::function<std::string(const std::string&)>& readList)
{
    RunPlan plan;
    for (const DatabaseName& database : kDatabases)
        plan.databases.push_back(PlanDatabase(request, database, programFolder, readList));
    plan.phases = PhasesOf(request);
    plan.countsSources = request.dump && request.verify;
    plan.countsDestinations = request.load;
    return plan;
}
