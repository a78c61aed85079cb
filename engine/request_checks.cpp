// What is looked at before a run starts.

#include "request_checks.h"

#include <iterator>
#include <vector>

#include "failure_report.h"
#include "paths.h"
#include "quoting.h"
#include "texts.h"

namespace {

Message Refuse(std::string text, const std::string& title)
{
    return {std::move(text), title, kStyleInformation};
}

Refusal FolderCanReachProutil(const std::string& folder)
{
    if (!CanPassIntact(folder)) {
        return Refuse(texts::FolderNotPassable(Shown(folder)), texts::kInvalidFolderTitle);
    }
    // An empty folder is asked for by its own direction.
    if (!folder.empty() && !IsFullPath(folder)) {
        return Refuse(texts::FolderNotFull(folder), texts::kInvalidFolderTitle);
    }
    return std::nullopt;
}

// Every command would fail on a database folder that is not there, one
// message per database; one message says it instead, before anything runs.
Refusal DatabasesFound(const Request& request, Platform& platform)
{
    std::string missing;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request.*direction->dbFolder;
        if (folder.empty() || !(request.*direction->ticked))
            continue;
        std::string why;
        try {
            if (platform.Look(folder) == PathKind::Folder) {
                for (const DatabaseName& database : kDatabases) {
                    const std::string file = JoinPath(folder, std::string(database.name) + ".db");
                    if (platform.Look(file) != PathKind::File)
                        missing.append("\n").append(texts::DatabaseNotFound(file));
                }
                continue;
            }
        } catch (const RunError& error) {
            // An unreachable share is as good as missing; the system says why.
            why = error.what();
        }
        missing.append("\n").append(texts::DatabaseFolderNotFound(direction->side, folder, why));
    }
    if (missing.empty())
        return std::nullopt;
    return Refuse(texts::CheckFoldersAgain(missing.substr(1)), texts::kDatabasesNotFoundTitle);
}

// Databases in a network folder are worked on from the dump-file folder,
// which must then be one the interpreter can work in.
Refusal WorkingFoldersFound(const Request& request)
{
    if (!IsNetworkPath(request.dumpFolder))
        return std::nullopt;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request.*direction->dbFolder;
        if (!IsNetworkPath(folder) || !(request.*direction->ticked))
            continue;
        return Refuse(texts::NetworkFolders(direction->side, folder, request.dumpFolder), texts::kInvalidFolderTitle);
    }
    return std::nullopt;
}

// The files are compared, not their names: one folder has many spellings,
// and one database can be another's through a link.
Refusal SameDatabases(const Request& request, Platform& platform)
{
    const std::string& source = request.sourceFolder;
    const std::string& destination = request.destinationFolder;
    if (!request.dump || !request.load || source.empty() || destination.empty())
        return std::nullopt;
    if (platform.SameFile(source, destination))
        return Refuse(texts::SameFolders(destination, source), texts::kSameAsSourceTitle);
    for (const DatabaseName& database : kDatabases) {
        const std::string file = std::string(database.name) + ".db";
        if (platform.SameFile(JoinPath(source, file), JoinPath(destination, file))) {
            return Refuse(texts::SameDatabase(JoinPath(destination, file), JoinPath(source, file)),
                          texts::kSameAsSourceTitle);
        }
    }
    return std::nullopt;
}

// A lock file, or anything else of its name, means the database is open.
// A lock file that cannot even be looked for leaves the database's state
// unknown: the run is refused, saying so.
Refusal DatabasesInUse(const Request& request, const Direction& direction, Platform& platform)
{
    const std::string& folder = request.*direction.dbFolder;
    for (const DatabaseName& database : kDatabases) {
        try {
            if (platform.Look(JoinPath(folder, std::string(database.name) + ".lk")) != PathKind::Missing)
                return Refuse(texts::DatabasesInUse(direction.side, folder, direction.stopThem), direction.inUseTitle);
        } catch (const RunError& error) {
            return Refuse(texts::LockNotChecked(direction.side, database.name, folder, error.what()),
                          texts::LockNotCheckedTitle(direction.side));
        }
    }
    return std::nullopt;
}

// A folder that is another's through a link or a junction would hold both
// databases' dump files: the second dump would replace the first's, and
// that database would be loaded with the other's records. Compared once
// made, as the folders are, whatever they are called.
Refusal DistinctDumpFolders(const Request& request, Platform& platform)
{
    for (std::size_t i = 0; i < std::size(kDatabases); ++i) {
        for (std::size_t j = i + 1; j < std::size(kDatabases); ++j) {
            const std::string first = JoinPath(request.dumpFolder, kDatabases[i].name);
            const std::string second = JoinPath(request.dumpFolder, kDatabases[j].name);
            if (!platform.SameFile(first, second))
                continue;
            return Refuse(texts::SharedDumpFolder(first, second, kDatabases[i].name, kDatabases[j].name),
                          texts::kSharedDumpFolderTitle);
        }
    }
    return std::nullopt;
}

} // namespace

Refusal CheckFolders(const Request& request, Platform& platform)
{
    std::vector<const std::string*> folders;
    for (const Direction* direction : {&kDump, &kLoad}) {
        if (request.*direction->ticked)
            folders.insert(folders.end(), {&(request.*direction->dbFolder), &(request.*direction->dlcFolder)});
    }
    folders.push_back(&request.dumpFolder);
    for (const std::string* folder : folders) {
        if (Refusal refusal = FolderCanReachProutil(*folder))
            return refusal;
    }
    if (Refusal refusal = DatabasesFound(request, platform))
        return refusal;
    if (Refusal refusal = WorkingFoldersFound(request))
        return refusal;
    return SameDatabases(request, platform);
}

Refusal CheckDirection(const Request& request, const Direction& direction, Platform& platform)
{
    if ((request.*direction.dbFolder).empty())
        return Refuse(direction.emptyDbFolderMessage, texts::kNoFolderTitle);
    if ((request.*direction.dlcFolder).empty())
        return Refuse(texts::kNoDlcFolder, texts::kNoFolderTitle);
    return DatabasesInUse(request, direction, platform);
}

Refusal MakeDumpFolders(const Request& request, Platform& platform)
{
    for (const DatabaseName& database : kDatabases) {
        const std::string folder = JoinPath(request.dumpFolder, database.name);
        platform.CreateFolder(folder);
        std::string why;
        try {
            if (platform.Look(folder) == PathKind::Folder)
                continue;
        } catch (const RunError& error) {
            why = error.what();
        }
        return Refuse(texts::DumpFolderNotMade(folder, why), texts::kDumpFolderNotMadeTitle);
    }
    return DistinctDumpFolders(request, platform);
}
