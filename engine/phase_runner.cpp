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

void PhaseRunner::Run(const std::vector<DatabaseJob>& jobs, std::size_t width, const WorkEvents& events)
{
    std::vector<Slot> slots;
    for (const DatabaseJob& job : jobs)
        slots.push_back({*job.work, job.database.name, false, false, {}, {}, {}, {}, 0, {}});
    slots_ = &slots;
    struct Done {
        std::vector<Slot>*& slots;
        ~Done() { slots = nullptr; }
    } done{slots_};
    do
        Fill(slots, width, events);
    while (Wait(slots));
}

std::vector<std::string> PhaseRunner::Running() const
{
    std::vector<std::string> running;
    if (slots_) {
        for (const Slot& slot : *slots_) {
            if (slot.started)
                running.push_back(Named(slot.database, slot.command.line));
        }
    }
    return running;
}

void PhaseRunner::Fill(std::vector<Slot>& slots, std::size_t width, const WorkEvents& events)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& slot = slots[i];
        while (!slot.over && !slot.InProgress()) {
            const auto inProgress = std::count_if(slots.begin(), slots.end(),
                                                  [](const Slot& other) { return other.InProgress(); });
            if (static_cast<std::size_t>(inProgress) >= width)
                break;
            // A work that is over, or whose step could not even be prepared,
            // is asked again by the loop's own test.
            if (!slot.step && !Take(slot, i, events))
                continue;
            if (!DatabasesFree(slots, slot))
                break;
            Start(slot);
        }
    }
}

bool PhaseRunner::Take(Slot& slot, std::size_t position, const WorkEvents& events)
{
    if (!slot.begun) {
        slot.begun = true;
        events.began(position);
    }
    slot.step = slot.work.Next();
    if (!slot.step) {
        slot.over = true;
        events.over(position);
        return false;
    }
    slot.tries = 0;
    try {
        slot.command = WithInstallation(platform_, slot.step->planned);
    } catch (const CommandNotRun& error) {
        EndStep(slot, NotRun(*slot.step, error.what()));
        return false;
    }
    return true;
}

bool PhaseRunner::DatabasesFree(const std::vector<Slot>& slots, const Slot& slot) const
{
    return std::none_of(slots.begin(), slots.end(), [&slot](const Slot& other) {
        return &other != &slot && other.InProgress() &&
               std::any_of(slot.step->planned.databases.begin(), slot.step->planned.databases.end(),
                           [&other](const std::string& database) {
                               const std::vector<std::string>& used = other.step->planned.databases;
                               return std::find(used.begin(), used.end(), database) != used.end();
                           });
    });
}

bool PhaseRunner::Wait(std::vector<Slot>& slots)
{
    std::vector<StartedCommand*> running;
    std::vector<Slot*> runningSlot;
    std::optional<std::chrono::milliseconds> nextTry;
    for (Slot& slot : slots) {
        if (slot.started) {
            running.push_back(slot.started.get());
            runningSlot.push_back(&slot);
        } else if (slot.retryAt && (!nextTry || *slot.retryAt < *nextTry)) {
            nextTry = slot.retryAt;
        }
    }
    if (running.empty() && !nextTry)
        return false;
    const std::optional<std::chrono::milliseconds> nextShow = progress_.NextShow();
    if (nextShow && (!nextTry || *nextShow < *nextTry))
        nextTry = nextShow;
    std::optional<std::chrono::milliseconds> timeout;
    if (nextTry)
        timeout = std::max(*nextTry - platform_.Now().steady, std::chrono::milliseconds(0));
    if (const std::optional<std::size_t> ended =
            platform_.WaitForCommands(running, timeout, [this] { window_.DoEvents(); }))
        Finish(*runningSlot[*ended]);
    const std::chrono::milliseconds now = platform_.Now().steady;
    if (const std::optional<std::chrono::milliseconds> due = progress_.NextShow(); due && *due <= now)
        progress_.Show();
    for (Slot& slot : slots) {
        if (slot.retryAt && *slot.retryAt <= now) {
            slot.retryAt.reset();
            Start(slot);
        }
    }
    return true;
}

// A command's start is logged once it has started, so that the log never
// reads as if one began that could not be started.
void PhaseRunner::Start(Slot& slot)
{
    ++slot.tries;
    try {
        slot.started = platform_.StartCommand(slot.command);
        slot.startedAt = log_.CommandStarted(slot.database, slot.command);
        progress_.Started(slot.command);
    } catch (const CommandNotStarted& error) {
        NotStarted(slot, error.what(), slot.tries < kStartTries);
    } catch (const CommandNotRun& error) {
        NotStarted(slot, error.what(), false);
    } catch (const RunError& error) {
        // It may have begun before it could no longer be watched.
        log_.CommandStarted(slot.database, slot.command);
        EndStep(slot, StepEnd::Without(StepEnd::How::Lost, error.what()));
    }
}

void PhaseRunner::NotStarted(Slot& slot, const std::string& why, bool again)
{
    log_.CommandNotStarted(slot.database, slot.command, why, again);
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
    end.verdict = slot.step->judge(end.result);
    const std::optional<long long> bytes = progress_.Ended(slot.command, end.verdict.succeeded,
                                                           slot.step->failureFailsRun && !end.verdict.succeeded);
    log_.CommandEnded(slot.database, slot.command, slot.startedAt, end.result, end.verdict, bytes);
    EndStep(slot, end);
}

// A command that never ran, or was lost, is over for the progress too.
void PhaseRunner::EndStep(Slot& slot, const StepEnd& end)
{
    if (end.how != StepEnd::How::Ended)
        progress_.Ended(slot.step->planned.command, false, false);
    slot.step.reset();
    slot.work.Ended(end);
}
