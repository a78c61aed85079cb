// How well a whole run's estimate of the time left foretells its end: the
// same run (dumps and their counts, the destinations' counts, loads, index
// rebuilds, counts again) one database at a time and side by side, on three
// databases whose tables differ in records and in record length. Each
// command costs a fixed time, then a time per byte of the records it goes
// through at its own kind's rate, so that an estimate that counts commands
// or records alone, or one rate for every kind, shows. At a quarter, a half
// and three quarters of each run the last estimate given by then, less the
// time since, is set against the time the run really had left.
//
// The default rates keep the proportions the estimate assumes of proutil
// for a kind that has not run yet (a count half a dump, a load and an index
// rebuild twice), at a speed of the bench's own: they measure the fit of
// each kind's start and time a byte, the databases side by side, and the
// starts of Wine's processes. Other rates show what it costs when proutil
// goes otherwise, until each kind has run once.
//
//   eta_bench [RATES]    RATES as PROUTIL_US_PER_BYTE takes them

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "whole_run_bench.h"

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

namespace {

// korvane holds half the bytes, in many short records and in few long ones;
// the others are smaller, and shaped otherwise. Each has its transactions.
const std::vector<BenchDatabase> kDatabases = {
    {"korvane", {{"movimiento", 10000, 25}, {"documento", 125, 2000}, {"gmtrans", 20, 30}}},
    {"korvane1", {{"pedido", 2500, 80}, {"nota", 30, 1000}, {"gmtrans", 10, 30}}},
    {"korvane2", {{"empleado", 500, 200}, {"nomina", 4000, 15}, {"gmtrans", 5, 30}}},
};
// The fixed cost matters most to the small tables, the rates to the rest.
const char* const kDelayMilliseconds = "300";
const char* const kMicrosecondsPerByte = "tabanalys:15,dump:30,load:60,idxbuild:60";

// Every estimate of the time left the run gave, and when.
class EstimateWindow : public BenchWindow {
  public:
    struct Estimate {
        Clock::time_point at;
        std::chrono::seconds left;
    };
    std::vector<Estimate> estimates;

    void ShowProgress(const RunProgress& progress) override
    {
        if (progress.left)
            estimates.push_back({Clock::now(), *progress.left});
    }
};

struct TimedRun : WholeRun {
    std::vector<EstimateWindow::Estimate> estimates;
};

TimedRun RunOnce(const WholeRunFolders& folders, bool parallel)
{
    Prepare(folders, kDatabases);
    EstimateWindow window;
    SystemWithListsIn system(folders.lists);
    const WholeRun run = RunWhole(window, system, folders, parallel);
    return {run, std::move(window.estimates)};
}

// What the last estimate given by `seconds` into the run says is left then.
std::optional<double> EstimateAt(const TimedRun& run, double seconds)
{
    std::optional<double> estimate;
    for (const EstimateWindow::Estimate& given : run.estimates) {
        const double at = Seconds(given.at - run.start).count();
        if (at > seconds)
            break;
        estimate = std::max(0.0, Seconds(given.left).count() - (seconds - at));
    }
    return estimate;
}

void Report(const char* title, const TimedRun& run)
{
    struct Point {
        const char* name;
        double fraction;
        int goal;  // percent
    };
    std::cout << title << ": " << std::setprecision(1) << run.seconds << " s\n";
    for (const Point& point : {Point{"1/4", 0.25, 25}, Point{"1/2", 0.5, 15}, Point{"3/4", 0.75, 10}}) {
        const double actual = run.seconds * (1 - point.fraction);
        const std::optional<double> estimate = EstimateAt(run, run.seconds * point.fraction);
        std::cout << "  at " << point.name << ": ";
        if (estimate)
            std::cout << "estimated " << std::setprecision(0) << *estimate << " s, actual " << std::setprecision(1)
                      << actual << " s, error " << std::setprecision(0)
                      << 100 * std::abs(*estimate - actual) / actual << "%";
        else
            std::cout << "no estimate, actual " << std::setprecision(1) << actual << " s";
        std::cout << "  (goal " << point.goal << "%)\n";
    }
    std::cout << std::flush;
}

void Describe(const char* rates)
{
    for (const BenchDatabase& shape : kDatabases) {
        std::cout << shape.name << ":";
        for (const BenchTable& table : shape.tables)
            std::cout << " " << table.name << " " << table.records << "x" << table.length << " B";
        std::cout << "\n";
    }
    std::cout << "each command " << kDelayMilliseconds << " ms, then microseconds a byte: " << rates << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: eta_bench [RATES]\n";
        return 2;
    }
    const char* rates = argc > 1 ? argv[1] : kMicrosecondsPerByte;
    try {
        TempFolder temp("eta_bench");
        const WholeRunFolders bench(temp);
        ScopedEnvironment fixed("PROUTIL_DELAY_MS", kDelayMilliseconds);
        ScopedEnvironment perByte("PROUTIL_US_PER_BYTE", rates);
        Describe(rates);
        std::cout << std::fixed;
        Report("one at a time", RunOnce(bench, false));
        Report("side by side", RunOnce(bench, true));
    } catch (const std::exception& e) {
        std::cerr << "eta_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
