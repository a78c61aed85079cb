#include "phase_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes.h"

namespace {

// Command lines, each with the databases it uses.
using Steps = std::vector<std::pair<std::string, std::vector<std::string>>>;

// A work whose steps are those commands.
class ListedWork : public DatabaseWork {
  public:
    explicit ListedWork(Steps steps) : steps_(std::move(steps)) {}

    std::optional<Step> Next() override
    {
        if (next_ == steps_.size())
            return std::nullopt;
        const auto& [line, databases] = steps_[next_++];
        return Step{{{line, "", {}, ""}, "", "", databases}, [](const CommandResult&) { return Verdict{true, {}}; }};
    }
    void Ended(const StepEnd&) override {}

  private:
    Steps steps_;
    std::size_t next_ = 0;
};

// The runner's rules for any width: a step waits while another in progress
// uses one of its databases, a command whose interpreter did not start is
// tried once more and holds its place meanwhile, and width 1 goes work by
// work in the list's order.
TEST(PhaseRunner, StartsEachStepWhenItsDatabasesAreFree)
{
    struct Row {
        std::size_t width;
        int startsFailing;
        std::vector<std::string> events;  // starts and failed starts, in order
    };
    const Row rows[] = {
        {1, 0, {"run a1", "run a2", "run b1", "run c1"}},
        {3, 0, {"run a1", "run c1", "run a2", "run b1"}},
        {1, 1, {"not started a1", "run a1", "run a2", "run b1", "run c1"}},
        {3, 1, {"not started a1", "run c1", "run a1", "run a2", "run b1"}},
    };
    for (const Row& row : rows) {
        EventLog log;
        RecordingWindow window{log};
        FakePlatform platform{log};
        platform.commandTakes = std::chrono::milliseconds(1000);
        platform.startsFailing = row.startsFailing;
        RunLog runLog{platform};
        WorkProgress progress{window, platform};
        PhaseRunner runner{window, platform, runLog, progress};
        const DatabaseName names[] = {{"a", "A"}, {"b", "B"}, {"c", "C"}};
        std::vector<DatabaseJob> jobs;
        jobs.push_back({names[0], std::make_unique<ListedWork>(Steps{{"a1", {"x.db"}}, {"a2", {"x.db"}}})});
        jobs.push_back({names[1], std::make_unique<ListedWork>(Steps{{"b1", {"x.db"}}})});
        jobs.push_back({names[2], std::make_unique<ListedWork>(Steps{{"c1", {"y.db"}}})});
        runner.Run(jobs, row.width, {[](std::size_t) {}, [](std::size_t) {}});

        std::vector<std::string> started;
        for (const std::string& event : log) {
            if (event.rfind("run ", 0) == 0 || event.rfind("not started ", 0) == 0)
                started.push_back(event);
        }
        EXPECT_EQ(started, row.events) << "width " << row.width << ", starts failing " << row.startsFailing;
    }
}

} // namespace
