#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"
#include "run_log.h"
#include "run_plan.h"
#include "run_services.h"
#include "success_rule.h"

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

// Works of one database one after another, each once the one before it is
// over.
class WorksInTurn : public DatabaseWork {
  public:
    explicit WorksInTurn(std::vector<std::unique_ptr<DatabaseWork>> works) : works_(std::move(works)) {}

    std::optional<Step> Next() override
    {
        for (; current_ < works_.size(); ++current_) {
            if (std::optional<Step> step = works_[current_]->Next())
                return step;
        }
        return std::nullopt;
    }
    void Ended(const StepEnd& end) override { works_[current_]->Ended(end); }

  private:
    std::vector<std::unique_ptr<DatabaseWork>> works_;
    std::size_t current_ = 0;
};

// A database's work in a phase.
struct DatabaseJob {
    const DatabaseName& database;
    std::unique_ptr<DatabaseWork> work;
};
