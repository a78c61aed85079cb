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
#include "work_progress.h"

// What the run is told of each work of a phase, by its position.
struct WorkEvents {
    // Before the work is asked for its first step.
    std::function<void(std::size_t)> began;
    // Once it has no step left.
    std::function<void(std::size_t)> over;
};

// Runs the commands that the works of a phase hand out: each logged, with
// its installation's DLC, judged, and counted in the run's progress. A command
// whose interpreter could not be started is tried once more; one that
// started is never run again, whatever became of it.
class PhaseRunner {
  public:
    PhaseRunner(WindowOps& window, Platform& platform, RunLog& log, WorkProgress& progress)
        : window_(window), platform_(platform), log_(log), progress_(progress)
    {
    }

    // Runs the works until every one is over, each one step at a time: the
    // next step of any work whose databases no other step in progress
    // uses, up to width steps at once, the works earlier in the list first.
    // With width 1 the works go one after another, in the list's order.
    void Run(const std::vector<DatabaseJob>& jobs, std::size_t width, const WorkEvents& events);
    // The commands running now: their databases and lines.
    std::vector<std::string> Running() const;

  private:
    // A work and the step it handed out, until that step has ended.
    struct Slot {
        DatabaseWork& work;
        std::string database;
        bool begun = false;
        bool over = false;
        std::optional<Step> step;
        Command command;
        std::unique_ptr<StartedCommand> started;
        ClockReading startedAt;
        int tries = 0;
        // When to try again to start a command whose interpreter could not be started.
        std::optional<std::chrono::milliseconds> retryAt;

        // Started, or waiting to be tried again: it holds its place and its databases.
        bool InProgress() const { return started || retryAt; }
    };

    // Starts what may start, in the works' order.
    void Fill(std::vector<Slot>& slots, std::size_t width, const WorkEvents& events);
    // Asks the work for its next step; false when it has none, or when the
    // step ended before it could be started.
    bool Take(Slot& slot, std::size_t position, const WorkEvents& events);
    bool DatabasesFree(const std::vector<Slot>& slots, const Slot& slot) const;
    void Start(Slot& slot);
    // Tried once more after a pause when again, or the step ends.
    void NotStarted(Slot& slot, const std::string& why, bool again);
    void Finish(Slot& slot);
    void EndStep(Slot& slot, const StepEnd& end);
    // Waits for a running command or the next try and deals with it; false
    // when there is nothing to wait for.
    bool Wait(std::vector<Slot>& slots);

    WindowOps& window_;
    Platform& platform_;
    RunLog& log_;
    WorkProgress& progress_;
    std::vector<Slot>* slots_ = nullptr;
};
