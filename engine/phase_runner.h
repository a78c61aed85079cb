#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    void RunAlone(const DatabaseJob& job);
    // The works side by side, each one command at a time, until all are
    // over; over is told the position of each work as it is over.
    void RunTogether(const std::vector<DatabaseJob>& jobs, const std::function<void(std::size_t)>& over);
    // The commands running now, one at a time or side by side: their
    // databases and lines.
    std::vector<std::string> Running() const;

  private:
    // A database's work while the databases work side by side.
    struct Slot {
        DatabaseWork& work;
        std::string database;
        std::optional<Step> step;
        Command command;
        std::unique_ptr<StartedCommand> started;
        ClockReading startedAt;
        int tries = 0;
        // When to try again to start a command whose interpreter could not be started.
        std::optional<std::chrono::milliseconds> retryAt;
        bool over = false;
    };

    StepEnd RunStep(const std::string& database, const Step& step);
    void Advance(Slot& slot);
    void Start(Slot& slot);
    // Tried once more after a pause when again, or the step ends.
    void NotStarted(Slot& slot, const std::string& why, bool again);
    void Finish(Slot& slot);
    void EndStep(Slot& slot, const StepEnd& end);
    // Waits for a running command or the next try; false when there is
    // nothing to wait for.
    bool WaitTogether(std::vector<Slot>& slots, const std::function<void(std::size_t)>& over);
    Verdict Judge(const Step& step, const CommandResult& result);

    WindowOps& window_;
    Platform& platform_;
    RunLog& log_;
    Progress& progress_;
    std::vector<Slot>* together_ = nullptr;
    // The command running one at a time, as Running names it; empty while none runs.
    std::string alone_;
};
