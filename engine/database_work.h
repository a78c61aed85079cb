#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "directions.h"
#include "platform.h"
#include "run_log.h"
#include "run_plan.h"
#include "success_rule.h"
#include "window_ops.h"

// A message box for the user. A work's messages wait until no command of
// its phase runs, so that no box stands over commands going on unseen.
struct Message {
    std::string text;
    std::string title;
    int style;
};

// A command a work hands out, and how its end is judged.
struct Step {
    PlannedCommand planned;
    std::function<Verdict(const CommandResult&)> judge;
    // A count that fails leaves the run as it was: only the records are
    // then unproven.
    bool failureFailsRun = true;
};

// How the command of a step ended.
struct StepEnd {
    enum class How {
        Ended,   // it ran to its end: result and verdict
        NotRun,  // nothing of it ran: error says why
        Lost,    // it started and could no longer be watched: error says why
    };
    How how = How::Ended;
    CommandResult result;
    Verdict verdict;
    std::string error;

    // A command that was not run, or was lost, and why.
    static StepEnd Without(How how, std::string why)
    {
        StepEnd end;
        end.how = how;
        end.error = std::move(why);
        return end;
    }
};

// What the works of a database reach of the run they are part of.
class RunServices {
  public:
    virtual ~RunServices() = default;

    virtual RunLog& Log() = 0;
    virtual Platform& System() = 0;
    // The status lines: a database's work begins a part that the status
    // line names, then works on a table of its list, or on none.
    virtual void ShowStatus(const DatabaseName& database, const std::string& caption) = 0;
    virtual void ShowTable(const DatabaseName& database, const std::string& table) = 0;
    // Window events between two commands.
    virtual void DoEvents() = 0;
    // The run has failed: its outcome, and the taskbar's error state.
    virtual void MarkRunFailed() = 0;
    virtual void Tell(const DatabaseName& database, Message message) = 0;
    // The figures of a pass of a database, in the run's summary from its
    // start, so that a run the user leaves half-way still sums up its work.
    virtual PassFigures& BeginPass(const char* pass, const DatabaseName& database) = 0;
    virtual void EndPass(PassFigures& figures) = 0;

    // An error of the program's own that fails the run: logged when it
    // happens, told with the database's other messages.
    void ReportError(const DatabaseName& database, const std::string& text)
    {
        Log().Error(text);
        Tell(database, {text, "Vaciallena", kStylePlain});
        MarkRunFailed();
    }
    // The last paragraph of a failure message: where the details are.
    std::string DetailsNote() { return Log().DetailsNote(); }
};

// A command of a pass counts in its pass's figures however it ends.
inline void CountCommand(PassFigures& figures, const StepEnd& end)
{
    if (end.how == StepEnd::How::NotRun) {
        ++figures.commandsNotStarted;
        return;
    }
    // A command that was lost may have done anything before it could no
    // longer be watched: it ran, and failed.
    ++figures.commandsRun;
    if (end.how == StepEnd::How::Lost || !end.verdict.succeeded)
        ++figures.commandsFailed;
}

// One database's part of a phase: the commands it runs one after another,
// each handed out once the one before it has ended, and what it does
// between them.
class DatabaseWork {
  public:
    virtual ~DatabaseWork() = default;
    // Does what comes before the next command and hands that command out;
    // nothing once the work is over.
    virtual std::optional<Step> Next() = 0;
    // How the command that Next handed out ended.
    virtual void Ended(const StepEnd& end) = 0;
};

// A work, then the work that a function makes once the first is over; the
// function makes none when nothing is to follow. The first is kept until
// the end, so that the second may ask it what it did.
class FollowedWork : public DatabaseWork {
  public:
    FollowedWork(std::unique_ptr<DatabaseWork> first, std::function<std::unique_ptr<DatabaseWork>()> then)
        : first_(std::move(first)), then_(std::move(then))
    {
    }

    std::optional<Step> Next() override
    {
        if (!second_) {
            if (std::optional<Step> step = first_->Next())
                return step;
            if (!then_)
                return std::nullopt;
            second_ = std::exchange(then_, nullptr)();
            if (!second_)
                return std::nullopt;
        }
        return second_->Next();
    }
    void Ended(const StepEnd& end) override { (second_ ? second_ : first_)->Ended(end); }

  private:
    std::unique_ptr<DatabaseWork> first_;
    std::unique_ptr<DatabaseWork> second_;
    std::function<std::unique_ptr<DatabaseWork>()> then_;
};

// A database's work in a phase.
struct DatabaseJob {
    const DatabaseName& database;
    std::unique_ptr<DatabaseWork> work;
};
