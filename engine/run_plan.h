#pragma once

#include <functional>
#include <string>
#include <vector>

#include "directions.h"
#include "platform.h"
#include "request.h"
#include "table_list.h"

// A command of the run and the installation whose proutil it runs: the
// command gets that installation's DLC variable.
struct PlannedCommand {
    Command command;
    std::string dlcFolder;
    // How the message of a command that could not be started opens, saying
    // whose it was: side by side, neither the order nor the moment of the
    // messages tells. Empty when its work's own messages name it.
    std::string notStarted;
    // The databases it works on, each by its .db file: no two commands use
    // one at once.
    std::vector<std::string> databases;
};

// A line of a database's table list as the run carries it out: what it
// runs in each direction, unless it runs nothing (listed says why).
struct PlannedTable {
    ListedTable listed;
    PlannedCommand dump;
    PlannedCommand load;
};

struct DatabasePlan {
    DatabaseName database;
    // Its table list, beside the program.
    std::string list;
    // Why its list could not be read, told by the pass that would have
    // used it; empty when it was read.
    std::string listError;
    std::vector<PlannedTable> tables;
    // The records of every table: the source's before its dump, kept in the
    // report beside its dump files, and the destination's before anything
    // is written and after its index rebuild.
    PlannedCommand sourceCount;
    PlannedCommand destinationCount;
    PlannedCommand indexRebuild;

    const std::string& SourceReport() const { return sourceCount.command.outputFile; }
};

// The phases of a run, in the order they come: in every run the survey
// before anything is written (the sources' counts when the records are
// checked, the destinations' before a load, the space, the questions),
// then the dumps, the loads, the index rebuilds, and the destinations'
// last counts with the comparison.
enum class Phase { Survey, Dump, Load, IndexRebuild, Comparison };

// Everything a run will do, made once when Aceptar is clicked and the
// request has passed its checks: no list is read again during the run.
struct RunPlan {
    // korvane, korvane1, korvane2.
    std::vector<DatabasePlan> databases;
    // Those the request asks for.
    std::vector<Phase> phases;
    // Whether the survey counts the sources about to be dumped.
    bool countsSources = false;
    // Whether it counts the destinations about to be loaded.
    bool countsDestinations = false;
};

// readList gives the text of a table list, or throws RunError.
RunPlan MakeRunPlan(const Request& request, const std::string& programFolder,
                    const std::function<std::string(const std::string&)>& readList);
