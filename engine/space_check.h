#pragma once

#include <string>
#include <vector>

#include "platform.h"
#include "record_count.h"
#include "request.h"
#include "run_log.h"
#include "run_plan.h"

// Whether the disks can take what a run will write, judged from the
// sources' sizes in their table analyses before the first dump: the dump
// files ("slightly larger than the table itself"), the records loaded, and
// the sort files of the index rebuild (50 to 75 percent of the database).
// Folders on one volume add up.

struct SpaceVerdict {
    // The dump files alone cannot fit: the run must not begin.
    std::string refusal;
    // The estimate is above the free space of these volumes, each line
    // after a line break: to be asked, the estimate being rough.
    std::string shortOn;
};

// Logs the free space found and what was decided. Without the sources'
// sizes nothing is checked, and the log says so.
SpaceVerdict CheckSpace(const Request& request, const RunPlan& plan, const std::vector<DatabaseRecords>& records,
                        Platform& platform, RunLog& log);
