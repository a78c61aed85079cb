#include "space_check.h"

#include <algorithm>
#include <limits>

#include "paths.h"
#include "table_analysis.h"
#include "table_list.h"
#include "texts.h"

namespace {

// Dump files are slightly larger than their tables.
constexpr double kDumpFileGrowth = 1.1;
// Rebuilding every index sorts in 50 to 75 percent of the database's size.
constexpr double kSortShare = 0.75;

struct FolderNeed {
    std::string folder;
    // The dump files at their tables' size, less the files they replace.
    long long dumpFiles = 0;
    // Everything the run may write there.
    long long estimate = 0;
};

struct VolumeNeed {
    FreeSpace space;
    long long dumpFiles = 0;
    long long estimate = 0;
};

void Add(std::vector<FolderNeed>& needs, const std::string& folder, long long dumpFiles, long long estimate)
{
    auto found = std::find_if(needs.begin(), needs.end(), [&](const FolderNeed& need) { return need.folder == folder; });
    if (found == needs.end())
        found = needs.insert(needs.end(), {folder, 0, 0});
    found->dumpFiles += dumpFiles;
    found->estimate += estimate;
}

long long Scaled(long long bytes, double factor)
{
    return static_cast<long long>(static_cast<double>(bytes) * factor);
}

// What one database's part of the run writes, folder by folder.
void AddNeeds(const Request& request, const DatabasePlan& plan, const TableAnalysis& source, Platform& platform,
              std::vector<FolderNeed>& needs)
{
    const std::string dumpFolder = JoinPath(request.dumpFolder, plan.database.name);
    long long tables = 0;
    long long replaced = 0;
    for (const PlannedTable& table : plan.tables) {
        if (!table.listed.Runs())
            continue;
        tables += BytesOf(source, table.listed.name);
        const auto old = platform.SizeOf(JoinPath(dumpFolder, DumpFileName(table.listed.name)));
        replaced += static_cast<long long>(std::min<std::uint64_t>(old.value_or(0), std::numeric_limits<long long>::max()));
    }
    if (request.dump)
        Add(needs, dumpFolder, std::max(tables - replaced, 0LL),
            std::max(Scaled(tables, kDumpFileGrowth) - replaced, 0LL));
    if (request.load) {
        Add(needs, request.destinationFolder, 0, tables);
        const std::string& sortFolder = plan.indexRebuild.command.workingFolder;
        Add(needs, sortFolder.empty() ? request.destinationFolder : sortFolder, 0, Scaled(tables, kSortShare));
    }
}

// The needs of the folders, added up on each volume; a folder whose free
// space cannot be known is left out, and logged.
std::vector<VolumeNeed> OnVolumes(const std::vector<FolderNeed>& needs, Platform& platform, RunLog& log)
{
    std::vector<VolumeNeed> volumes;
    for (const FolderNeed& need : needs) {
        FreeSpace space;
        try {
            space = platform.SpaceOf(need.folder);
        } catch (const RunError& error) {
            log.Note(texts::SpaceNotKnownNote(error.what()));
            continue;
        }
        auto found = std::find_if(volumes.begin(), volumes.end(),
                                  [&](const VolumeNeed& volume) { return volume.space.volume == space.volume; });
        if (found == volumes.end())
            found = volumes.insert(volumes.end(), {space, 0, 0});
        found->dumpFiles += need.dumpFiles;
        found->estimate += need.estimate;
    }
    return volumes;
}

} // namespace

SpaceVerdict CheckSpace(const Request& request, const RunPlan& plan, const std::vector<DatabaseRecords>& records,
                        Platform& platform, RunLog& log)
{
    std::vector<FolderNeed> needs;
    for (std::size_t i = 0; i < plan.databases.size(); ++i) {
        const DatabasePlan& database = plan.databases[i];
        // Nothing of a database without its list is written.
        if (!database.listError.empty())
            continue;
        if (const std::optional<Counted>& source = records[i].source; source && source->analysis)
            AddNeeds(request, database, *source->analysis, platform, needs);
        else if (request.verify)
            log.Note(texts::SizeNotKnown(database.database.name));
    }
    if (needs.empty()) {
        if (!request.verify)
            log.Note(texts::kSpaceNotChecked);
        return {};
    }
    SpaceVerdict verdict;
    for (const VolumeNeed& volume : OnVolumes(needs, platform, log)) {
        const long long free = static_cast<long long>(
            std::min<std::uint64_t>(volume.space.bytes, std::numeric_limits<long long>::max()));
        if (volume.dumpFiles > free) {
            const std::string figures = texts::SpaceFigures(volume.dumpFiles, free, volume.space.volume);
            log.Note(texts::SpaceNote(figures, texts::kSpaceShort));
            if (verdict.refusal.empty())
                verdict.refusal = texts::DumpFilesDoNotFit(request.dumpFolder, figures);
            continue;
        }
        const std::string figures = texts::SpaceFigures(volume.estimate, free, volume.space.volume);
        const bool thin = volume.estimate > free;
        log.Note(texts::SpaceNote(figures, thin ? texts::kSpaceThin : texts::kSpaceEnough));
        if (thin)
            verdict.shortOn += "\n" + figures;
    }
    return verdict;
}
