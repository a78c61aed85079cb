#pragma once

#include "database_work.h"
#include "window_ops.h"

// The run's progress outside the window: commands done out of the run's
// total, and whether a table has failed so far.
struct Progress {
    int done = 0;
    int total = 0;
    bool failed = false;
};

// Runs the commands that the works of a phase hand out: each logged, with
// its installation's DLC, judged, and counted on the taskbar. A command
// whose interpreter could not be started is tried once more; one that
// started is never run again, whatever became of it.
class PhaseRunner {
  public:
    PhaseRunner(WindowOps& window, Platform& platform, RunLog& log, Progress& progress)
        : window_(window), platform_(platform), log_(log), progress_(progress)
    {
    }

    // One command after another until the work is over.
    void RunAlone(DatabaseWork& work);

  private:
    StepEnd RunStep(const Step& step);
    void Judge(const Step& step, StepEnd& end);

    WindowOps& window_;
    Platform& platform_;
    RunLog& log_;
    Progress& progress_;
};
