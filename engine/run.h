#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "database_work.h"
#include "phase_runner.h"
#include "record_count.h"
#include "request_checks.h"
#include "request.h"
#include "run_plan.h"
#include "run_status.h"
#include "status_lines.h"

// One run, from the checks of its request to the window unlocked again:
// the dumps of the three databases, their loads, the index rebuilds and
// the comparison of their records, phase by phase.
class Run : private RunServices {
  public:
    Run(WindowOps& window, Platform& platform, RunLog& log, RunStatus& status, Request request);

    // Nothing of the run unwinds: an error nobody expected ends it as the
    // program's own, with the window usable again.
    void Go();
    // The user is ending the program: the run is ended in its log.
    void EndedByUser();

  private:
    // What the phases found that the run's outcome depends on.
    struct Findings {
        bool loaded = false;
        bool indexed = true;
        bool match = true;
        // The comparison's message has named the databases not compared.
        bool uncheckedTold = false;
    };

    void Steps();
    // The plan's phases one after another; the run's outcome, for the end
    // of its log.
    std::string RunPhases(Findings& found);
    // Carries out one phase; what the run ends with there, or nothing when
    // it goes on.
    std::optional<std::string> Walk(Phase phase, Findings& found);
    std::string Outcome(const Findings& found);
    // The direction whose checks refused the run, and nothing when the run
    // may go on.
    const Direction* RefusedDirection();
    // False when the refusal was told.
    bool Ready(const Refusal& refusal);
    // The outcome of a run that failed in a direction: what was left undone.
    std::string FailedIn(const Direction& direction) const;
    // Before the first command that writes anything: the counts, the space
    // and every question. What the run ends with there, or nothing when it
    // goes on.
    std::optional<std::string> SurveyPhase();
    void CountPhase();
    // A count that fails is asked about instead of the tables, so that an
    // unusual version of proutil never blocks a load the administrator wants.
    std::optional<std::string> Questions();
    // False when the answer was No; nothing is asked without a matter.
    bool Asked(const std::string& matter, const char* title);
    void DumpPhase();
    void LoadPhase();
    void IndexRebuildPhase();
    // found.match is false when the records of a database differ from its source's.
    void ComparisonPhase(Findings& found);
    // The works of a phase and their messages, in the databases' order: one
    // database after another, or side by side when the user asked for it
    // and the phase has a caption for the databases working together.
    void RunPhase(const char* name, const char* together, std::vector<DatabaseJob> jobs);
    void WorkOn(const DatabaseName& database);
    void ShowTold(const DatabaseName& database);
    void TellUnchecked();
    void EndRun(const std::string& outcome);
    void Lock(bool locked);
    void Unlock();
    void Refuse(const Message& refusal);
    void EndPasses();
    std::size_t IndexOf(const DatabaseName& database) const;

    // What the run's works reach of it.
    RunServices& Services() { return *this; }
    RunLog& Log() override { return log_; }
    Platform& System() override { return platform_; }
    void ShowStatus(const DatabaseName& database, const std::string& caption) override;
    void ShowTable(const DatabaseName& database, const std::string& table) override;
    void DoEvents() override { window_.DoEvents(); }
    void MarkRunFailed() override;
    void Tell(const DatabaseName& database, Message message) override;
    PassFigures& BeginPass(const char* pass, const DatabaseName& database) override;
    void EndPass(PassFigures& figures) override;

    WindowOps& window_;
    Platform& platform_;
    RunLog& log_;
    RunStatus& status_;
    const Request request_;
    StatusLines statusLines_;
    WorkProgress progress_;
    PhaseRunner runner_;
    RunPlan plan_;
    // By database, in the plan's order.
    std::vector<DatabaseRecords> records_;
    std::vector<std::vector<Message>> told_;
    // The summary's figures, from the start of each pass and comparison.
    std::deque<PassFigures> passes_;
    std::deque<CheckFigures> checks_;
    std::vector<PhaseFigures> phases_;
};
