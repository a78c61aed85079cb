#include "phase_runner.h"

#include <chrono>

#include "command_line.h"

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

} // namespace

void PhaseRunner::RunAlone(DatabaseWork& work)
{
    while (std::optional<Step> step = work.Next())
        work.Ended(RunStep(*step));
}

StepEnd PhaseRunner::RunStep(const Step& step)
{
    const auto whileWaiting = [this] { window_.DoEvents(); };
    StepEnd end;
    try {
        const Command command = WithInstallation(platform_, step.planned);
        for (int tried = 1;; ++tried) {
            log_.CommandStarted(command);
            try {
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
        return {StepEnd::How::NotRun, {}, {}, error.what()};
    } catch (const RunError& error) {
        return {StepEnd::How::Lost, {}, {}, error.what()};
    }
    Judge(step, end);
    return end;
}

void PhaseRunner::Judge(const Step& step, StepEnd& end)
{
    end.verdict = step.judge(end.result);
    log_.CommandEnded(end.result, end.verdict);
    progress_.failed = progress_.failed || (step.failureFailsRun && !end.verdict.succeeded);
    window_.ShowProgress(++progress_.done, progress_.total, progress_.failed);
}
