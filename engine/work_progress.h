#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"
#include "record_count.h"
#include "run_log.h"
#include "run_plan.h"
#include "time_estimate.h"
#include "window_ops.h"

// How far a run has got and how long it has left, in the window and on its
// taskbar button. Until the survey has counted the sources every command
// counts as one; from then on each weighs the bytes it goes through, and
// the time left comes from what the commands of this run took, kind by kind.
class WorkProgress {
  public:
    WorkProgress(WindowOps& window, Platform& platform) : window_(window), platform_(platform) {}

    // The run's commands, phase by phase; those of a phase with a caption
    // for the databases together go side by side when sideBySide. sized
    // when the survey is to learn the tables' sizes.
    void Begin(const RunPlan& plan, bool sideBySide, bool sized);
    // After the survey: the bytes of each command, when every source's
    // tables have their sizes; otherwise the commands go on counting as one.
    void Weigh(const RunPlan& plan, const std::vector<DatabaseRecords>& records);
    void Started(const Command& command);
    // A command is over, however it ended: measured when it succeeded. The
    // bytes it went through, when the work is weighed.
    std::optional<long long> Ended(const Command& command, bool succeeded, bool failsRun);
    void Failed();
    // While commands run, the time left is shown again from then on;
    // nothing when there is no time left to show.
    std::optional<std::chrono::milliseconds> NextShow() const;
    void Show();
    // The time left as estimated when a quarter, a half and three quarters
    // of the work were done, for the log's summary.
    const std::vector<EstimateFigures>& Estimates() const { return estimates_; }

  private:
    enum class State { Waiting, Running, Over };
    // What a command goes through: its database as the source holds it, the
    // destination before the loads, or one table.
    enum class Weighs { Source, Destination, Table };
    struct Item {
        std::string line;
        std::string table;
        Weighs weighs = Weighs::Source;
        WorkLeft work;
        State state = State::Waiting;
        std::chrono::milliseconds started{0};
        // How long it took, when it succeeded.
        std::optional<std::chrono::milliseconds> took;
    };

    Item* Find(const std::string& line, State state);
    long long Weight(const Item& item) const;
    RunProgress Figures(std::chrono::milliseconds now) const;
    void Note(const RunProgress& progress, std::chrono::milliseconds now);

    WindowOps& window_;
    Platform& platform_;
    std::vector<Item> items_;
    MeasuredRates rates_;
    bool weighed_ = false;
    // Until the survey is over, in a run that learns the sizes there.
    bool weighing_ = false;
    bool failed_ = false;
    std::chrono::milliseconds shown_{0};
    std::vector<EstimateFigures> estimates_;
};
