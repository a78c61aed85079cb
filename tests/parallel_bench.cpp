// How much shorter a whole run is with the three databases side by side:
// the same run (dumps and their counts, the destinations' counts, loads,
// index rebuilds, counts again) one database at a time and in parallel, in
// turns, on three databases of unequal size whose commands take time in
// proportion to their records. The ideal is what the phases would take if
// the databases did not slow each other down: in each phase the slowest
// database's part, as measured one at a time, and the rebuilds one after
// another.
//
//   parallel_bench [ROUNDS]    ROUNDS pairs of runs, 2 by default

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "whole_run_bench.h"

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

namespace {

const char* const kNames[] = {"korvane", "korvane1", "korvane2"};
constexpr int kTables = 4;
// Records of each table, by database: one database twice the next.
constexpr int kRecords[] = {300, 150, 75};
const char* const kMillisecondsPerRecord = "4";

// Times each command of a run one database at a time, by phase and database.
class TimingServices : public SystemWithListsIn {
  public:
    using SystemWithListsIn::SystemWithListsIn;
    std::string source;
    // By phase, in the run's order, then by database.
    std::map<int, std::map<std::string, double>> seconds;

    std::unique_ptr<StartedCommand> StartCommand(const Command& command) override
    {
        std::unique_ptr<StartedCommand> started = SystemWithListsIn::StartCommand(command);
        running_[started.get()] = {command.line, Clock::now()};
        return started;
    }
    CommandResult FinishCommand(StartedCommand& command) override
    {
        CommandResult result = SystemWithListsIn::FinishCommand(command);
        const auto [line, start] = running_.at(&command);
        running_.erase(&command);
        seconds[PhaseOf(line)][DatabaseOf(line)] += Seconds(Clock::now() - start).count();
        return result;
    }

  private:
    int PhaseOf(const std::string& line)
    {
        if (line.find(" -C load ") != std::string::npos)
            loaded_ = true;
        if (line.find(" -C idxbuild ") != std::string::npos)
            rebuilt_ = true;
        if (line.find(" -C dump ") != std::string::npos || line.find(source) != std::string::npos)
            return 0;
        return rebuilt_ ? (line.find(" -C idxbuild ") != std::string::npos ? 3 : 4) : loaded_ ? 2 : 1;
    }
    static std::string DatabaseOf(const std::string& line)
    {
        for (const char* name : {"korvane2", "korvane1", "korvane"}) {
            if (line.find(std::string(name) + ".db") != std::string::npos)
                return name;
        }
        return "?";
    }
    std::map<const StartedCommand*, std::pair<std::string, Clock::time_point>> running_;
    bool loaded_ = false;
    bool rebuilt_ = false;
};

constexpr int kRebuildPhase = 3;

// Four tables a database, of records alike.
std::vector<BenchDatabase> Databases()
{
    std::vector<BenchDatabase> databases;
    for (int i = 0; i < 3; ++i) {
        databases.push_back({kNames[i], {}});
        for (int t = 1; t <= kTables; ++t)
            databases.back().tables.push_back({"tabla" + std::to_string(t), kRecords[i], 28});
    }
    return databases;
}

double RunOnce(const WholeRunFolders& folders, bool parallel, TimingServices& system)
{
    Prepare(folders, Databases());
    BenchWindow window;
    return RunWhole(window, system, folders, parallel).seconds;
}

// In each phase the slowest database's part, and the rebuilds one after another.
double Ideal(const TimingServices& system)
{
    double ideal = 0;
    for (const auto& [phase, databases] : system.seconds) {
        double slowest = 0;
        double all = 0;
        for (const auto& [database, seconds] : databases) {
            slowest = std::max(slowest, seconds);
            all += seconds;
        }
        ideal += phase == kRebuildPhase ? all : slowest;
    }
    return ideal;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = Rounds(argc, argv, 2, "parallel_bench");
    if (rounds == 0)
        return 2;
    try {
        TempFolder temp("parallel_bench");
        const WholeRunFolders bench(temp);
        ScopedEnvironment slow("PROUTIL_MS_PER_RECORD", kMillisecondsPerRecord);
        std::cout << "records per table: korvane " << kRecords[0] << ", korvane1 " << kRecords[1] << ", korvane2 "
                  << kRecords[2] << " (" << kTables << " tables each), " << kMillisecondsPerRecord
                  << " ms a record" << std::endl
                  << std::fixed << std::setprecision(2);
        double alone = 0;
        double together = 0;
        double ideal = 0;
        for (int round = 1; round <= rounds; ++round) {
            TimingServices timed(bench.lists);
            timed.source = bench.source;
            const double one = RunOnce(bench, false, timed);
            TimingServices system(bench.lists);
            const double three = RunOnce(bench, true, system);
            std::cout << "round " << round << ": one at a time " << one << " s, in parallel " << three
                      << " s, ideal " << Ideal(timed) << " s" << std::endl;
            alone += one;
            together += three;
            ideal += Ideal(timed);
        }
        std::cout << "one at a time: " << alone / rounds << " s\n"
                  << "in parallel: " << together / rounds << " s\n"
                  << "ideal: " << ideal / rounds << " s\n"
                  << "parallel / ideal: " << std::setprecision(3) << together / ideal << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "parallel_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
