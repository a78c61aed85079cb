#pragma once

#include <string>
#include <vector>

#include "record_count.h"
#include "run_plan.h"

// What the counts before the first dump may have to ask about, each a
// list of databases after a line break; empty when there is nothing to ask.

// The tables about to be loaded that already hold records, and the
// databases that could not be counted: withRecords says whether any holds
// some.
std::string DestinationsWithRecords(const RunPlan& plan, const std::vector<DatabaseRecords>& records,
                                    bool& withRecords);

// The tables with records in a source that no line of its list copies;
// those left out on purpose (the transactions) are none of them.
std::string UnlistedTables(const RunPlan& plan, const std::vector<DatabaseRecords>& records);
