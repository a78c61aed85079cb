#include "phase_runner.h"

#include <algorithm>
#include <chrono>

#include "command_line.h"
#include "failure_report.h"

namespace {

// A command whose interpreter could not be started is tried once more after
// this pause: a busy machine, or a scanner holding the program, lets go soon.
constexpr int kStartTries = 2;
constexpr std::chrono::milliseconds kStartRetryPause{2000};

// A Progress installation's batch file runs its _proutil with the DLC
// variable as it finds it: each command gets its own installation's, so
// that a dump with one version and a load with another never mix.
Command WithInstallation(Platform& platform, const PlannedCommand& planned)
{
    Command command = planned.command;
    const std::string installation = ParentFolder(planned.dlcFolder);
    try {
        if (!installation.empty() && platform.Look(JoinPath(planned.dlcFolder, kProutilProgram)) == PathKind::File)
            command.environment.push_back({"DLC", installation});
    } catch (const RunError& error) {
        throw CommandNotRun(error.what());
    }
    return command;
}

// A running command as the log names it when the program is left.
std::string Named(const std::string& database, const std::string& line)
{
    return "[" + database + "] " + line;
}

// A command that could not be started is told with whose it was.
StepEnd NotRun(const Step& step, const std::string& why)
{
    const std::string& opening = step.planned.notStarted;
    return StepEnd::Without(StepEnd::How::NotRun, opening.empty() ? why : opening + ": " + InSentence(why));
}

} // namespace

void PhaseRunner::RunAlone(const DatabaseJob& job)
{
    while (std::optional<Step> step = job.work->Next())
        job.work->Ended(RunStep(job.database.name, *step));
}

StepEnd PhaseRunner::RunStep(const std::string& database, const Step& step)
{
    const auto whileWaiting = [this] { window_.DoEvents(); };
    StepEnd end;
    ClockReading started;
    try {
        const Command command = WithInstallation(platform_, step.planned);
        for (int tried = 1;; ++tried) {
            started = log_.CommandStarted(command);
            try {
                alone_ = Named(database, command.line);
                struct Over {
                    std::string& alone;
                    ~Over() { alone.clear(); }
                } over{alone_};
                end.result = platform_.RunCommand(command, whileWaiting);
                break;
            } catch (const CommandNotStarted& error) {
                log_.CommandNotStarted(error.what(), tried < kStartTries);
                if (tried == kStartTries)
                    throw;
                platform_.Pause(kStartRetryPause, whileWaiting);
            }
        }
    } catch (const CommandNotRun& error) {
        return NotRun(step, error.what());
    } catch (const RunError& error) {
        return StepEnd::Without(StepEnd::How::Lost, error.what());
    }
    end.verdict = Judge(step, end.result);
    log_.CommandEnded(started, end.result, end.verdict);
    return end;
}

void PhaseRunner::RunTogether(const std::vector<DatabaseJob>& jobs, const std::function<void(std::size_t)>& over)
{
    std::vector<Slot> slots;
    for (const DatabaseJob& job : jobs)
        slots.push_back({*job.work, job.database.name, {}, {}, {}, {}, 0, {}, false});
    together_ = &slots;
    struct Done {
        std::vector<Slot>*& together;
        ~Done() { together = nullptr; }
    } done{together_};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Advance(slots[i]);
        if (slots[i].over)
            over(i);
    }
    while (WaitTogether(slots, over)) {
    }
}

std::vector<std::string> PhaseRunner::Running() const
{
    std::vector<std::string> running;
    if (!alone_.empty())
        running.push_back(alone_);
    if (together_) {
        for (const Slot& slot : *together_) {
            if (slot.started)
                running.push_back(Named(slot.database, slot.command.line));
        }
    }
    return running;
}

bool PhaseRunner::WaitTogether(std::vector<Slot>& slots, const std::function<void(std::size_t)>& over)
{
    std::vector<StartedCommand*> running;
    std::vector<std::size_t> runningSlot;
    std::optional<std::chrono::milliseconds> nextTry;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].started) {
            running.push_back(slots[i].started.get());
            runningSlot.push_back(i);
        } else if (slots[i].retryAt && (!nextTry || *slots[i].retryAt < *nextTry)) {
            nextTry = slots[i].retryAt;
        }
    }
    if (running.empty() && !nextTry)
        return false;
    std::optional<std::chrono::milliseconds> timeout;
    if (nextTry)
        timeout = std::max(*nextTry - platform_.Now().steady, std::chrono::milliseconds(0));
    const std::optional<std::size_t> ended =
        platform_.WaitForCommands(running, timeout, [this] { window_.DoEvents(); });
    std::vector<std::size_t> moved;
    if (ended) {
        Finish(slots[runningSlot[*ended]]);
        moved.push_back(runningSlot[*ended]);
    }
    const std::chrono::milliseconds now = platform_.Now().steady;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].retryAt && *slots[i].retryAt <= now) {
            slots[i].retryAt.reset();
            Start(slots[i]);
            moved.push_back(i);
        }
    }
    for (std::size_t i : moved) {
        Advance(slots[i]);
        if (slots[i].over)
            over(i);
    }
    return true;
}

// On to the work's next command unless one is running or waits to be tried again.
void PhaseRunner::Advance(Slot& slot)
{
    while (!slot.over && !slot.started && !slot.retryAt) {
        slot.step = slot.work.Next();
        if (!slot.step) {
            slot.over = true;
            return;
        }
        slot.tries = 0;
        try {
            slot.command = WithInstallation(platform_, slot.step->planned);
        } catch (const CommandNotRun& error) {
            EndStep(slot, NotRun(*slot.step, error.what()));
            continue;
        }
        Start(slot);
    }
}

// A command's start is logged once it has started, so that the log never
// reads as if one began that could not be started.
void PhaseRunner::Start(Slot& slot)
{
    ++slot.tries;
    try {
        slot.started = platform_.StartCommand(slot.command);
        slot.startedAt = log_.CommandStartedBeside(slot.database, slot.command);
    } catch (const CommandNotStarted& error) {
        NotStarted(slot, error.what(), slot.tries < kStartTries);
    } catch (const CommandNotRun& error) {
        NotStarted(slot, error.what(), false);
    } catch (const RunError& error) {
        // It may have begun before it could no longer be watched.
        log_.CommandStartedBeside(slot.database, slot.command);
        EndStep(slot, StepEnd::Without(StepEnd::How::Lost, error.what()));
    }
}

void PhaseRunner::NotStarted(Slot& slot, const std::string& why, bool again)
{
    log_.CommandNotStartedBeside(slot.database, slot.command, why, again);
    if (again)
        slot.retryAt = platform_.Now().steady + kStartRetryPause;
    else
        EndStep(slot, NotRun(*slot.step, why));
}

void PhaseRunner::Finish(Slot& slot)
{
    StepEnd end;
    try {
        end.result = platform_.FinishCommand(*slot.started);
    } catch (const RunError& error) {
        slot.started.reset();
        EndStep(slot, StepEnd::Without(StepEnd::How::Lost, error.what()));
        return;
    }
    slot.started.reset();
    end.verdict = Judge(*slot.step, end.result);
    log_.CommandEndedBeside(slot.database, slot.command, slot.startedAt, end.result, end.verdict);
    EndStep(slot, end);
}

void PhaseRunner::EndStep(Slot& slot, const StepEnd& end)
{
    slot.step.reset();
    slot.work.Ended(end);
}

Verdict PhaseRunner::Judge(const Step& step, const CommandResult& result)
{
    const Verdict verdict = step.judge(result);
    progress_.failed = progress_.failed || (step.failureFailsRun && !verdict.succeeded);
    window_.ShowProgress(++progress_.done, progress_.total, progress_.failed);
    return verdict;
}
