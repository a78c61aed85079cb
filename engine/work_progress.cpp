#include "work_progress.h"

#include <algorithm>
#include <utility>

namespace {

// The time left is shown again this often while commands run, so that it
// counts down through a table of hours.
constexpr std::chrono::seconds kShowEvery{5};
// What starting a command weighs on the bar, in bytes: proutil's start and
// its connection to the database take about as long as a dump goes through
// this much. A list of many small tables is then no sliver of the bar.
constexpr long long kStartBytes = 8LL << 20;

struct Share {
    double share;
    const char* name;
};
constexpr Share kShares[] = {{0.25, "1/4"}, {0.5, "1/2"}, {0.75, "3/4"}};

} // namespace

void WorkProgress::Begin(const RunPlan& plan, bool sideBySide, bool sized)
{
    weighing_ = sized;
    int order = 0;
    for (const Phase phase : plan.phases) {
        const bool together = sideBySide && phase != Phase::IndexRebuild;
        for (std::size_t database = 0; database < plan.databases.size(); ++database) {
            const DatabasePlan& planned = plan.databases[database];
            const auto add = [&](const PlannedCommand& command, CommandKind kind, Weighs weighs,
                                 const std::string& table = {}) {
                items_.push_back({command.command.line, table, weighs, {kind, 0, order, database, together, {}},
                                  State::Waiting, {}, {}});
            };
            switch (phase) {
            case Phase::Survey:
                // A database whose list could not be read is not counted.
                if (!planned.listError.empty())
                    break;
                if (plan.countsSources)
                    add(planned.sourceCount, CommandKind::Count, Weighs::Source);
                if (plan.countsDestinations)
                    add(planned.destinationCount, CommandKind::Count, Weighs::Destination);
                break;
            case Phase::Dump:
            case Phase::Load:
                for (const PlannedTable& table : planned.tables) {
                    if (table.listed.Runs())
                        add(phase == Phase::Dump ? table.dump : table.load,
                            phase == Phase::Dump ? CommandKind::Dump : CommandKind::Load, Weighs::Table,
                            table.listed.name);
                }
                break;
            case Phase::IndexRebuild:
                add(planned.indexRebuild, CommandKind::IndexRebuild, Weighs::Source);
                break;
            case Phase::Comparison:
                add(planned.destinationCount, CommandKind::Count, Weighs::Source);
                break;
            }
        }
        ++order;
    }
    Show();
}

// A database whose list could not be read runs no table: what it weighs
// besides does not matter.
void WorkProgress::Weigh(const RunPlan& plan, const std::vector<DatabaseRecords>& records)
{
    if (!std::exchange(weighing_, false))
        return;
    for (std::size_t i = 0; i < plan.databases.size(); ++i) {
        if (plan.databases[i].listError.empty() && !(records[i].source && records[i].source->analysis)) {
            Show();
            return;
        }
    }
    for (Item& item : items_) {
        const DatabaseRecords& database = records[item.work.database];
        const std::optional<TableAnalysis>& source =
            database.source ? database.source->analysis : std::optional<TableAnalysis>();
        switch (item.weighs) {
        case Weighs::Source:
            item.work.bytes = source ? BytesOfAllTables(*source) : 0;
            break;
        case Weighs::Destination:
            item.work.bytes = database.beforeLoad.analysis ? BytesOfAllTables(*database.beforeLoad.analysis) : 0;
            break;
        case Weighs::Table:
            item.work.bytes = source ? BytesOf(*source, item.table) : 0;
            break;
        }
        if (item.took)
            rates_.Measured(item.work.kind, item.work.bytes, *item.took);
    }
    weighed_ = true;
    Show();
}

void WorkProgress::Started(const Command& command)
{
    if (Item* item = Find(command.line, State::Waiting)) {
        item->state = State::Running;
        item->started = platform_.Now().steady;
    }
}

std::optional<long long> WorkProgress::Ended(const Command& command, bool succeeded, bool failsRun)
{
    failed_ = failed_ || failsRun;
    Item* item = Find(command.line, State::Running);
    if (!item)
        item = Find(command.line, State::Waiting);
    std::optional<long long> bytes;
    if (item) {
        if (item->state == State::Running && succeeded) {
            item->took = platform_.Now().steady - item->started;
            if (weighed_)
                rates_.Measured(item->work.kind, item->work.bytes, *item->took);
        }
        item->state = State::Over;
        if (weighed_)
            bytes = item->work.bytes;
    }
    Show();
    return bytes;
}

void WorkProgress::Failed()
{
    failed_ = true;
    Show();
}

std::optional<std::chrono::milliseconds> WorkProgress::NextShow() const
{
    const bool running =
        std::any_of(items_.begin(), items_.end(), [](const Item& item) { return item.state == State::Running; });
    if (!weighed_ || !running)
        return std::nullopt;
    return shown_ + kShowEvery;
}

void WorkProgress::Show()
{
    const std::chrono::milliseconds now = platform_.Now().steady;
    const RunProgress progress = Figures(now);
    Note(progress, now);
    shown_ = now;
    window_.ShowProgress(progress);
}

WorkProgress::Item* WorkProgress::Find(const std::string& line, State state)
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&](const Item& item) { return item.state == state && item.line == line; });
    return found == items_.end() ? nullptr : &*found;
}

long long WorkProgress::Weight(const Item& item) const
{
    return weighed_ ? item.work.bytes + kStartBytes : 1;
}

RunProgress WorkProgress::Figures(std::chrono::milliseconds now) const
{
    RunProgress progress;
    progress.failed = failed_;
    progress.weighed = weighed_ || weighing_;
    std::vector<WorkLeft> left;
    for (const Item& item : items_) {
        progress.total += Weight(item);
        if (item.state == State::Over) {
            progress.done += Weight(item);
            continue;
        }
        left.push_back(item.work);
        if (item.state == State::Running)
            left.back().running = now - item.started;
    }
    if (weighed_) {
        const Estimate estimate = EstimateLeft(rates_, left);
        progress.left = estimate.left;
        progress.approximate = estimate.approximate;
    }
    return progress;
}

// Shares of bytes only: counted in commands the survey would take them early.
void WorkProgress::Note(const RunProgress& progress, std::chrono::milliseconds now)
{
    if (!weighed_)
        return;
    for (const Share& share : kShares) {
        const bool noted = std::any_of(estimates_.begin(), estimates_.end(),
                                       [&](const EstimateFigures& figures) { return figures.share == share.name; });
        if (!noted && static_cast<double>(progress.done) >= share.share * static_cast<double>(progress.total))
            estimates_.push_back({share.name, now, progress.left});
    }
}
