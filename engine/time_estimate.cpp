#include "time_estimate.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Sizes this close together draw no line: a fixed cost cannot be told
// from a time a byte.
constexpr double kLeastSpread = 0.05;

// What a byte costs each kind beside a dump, as proutil goes about them: a
// table analysis reads the blocks without handing the records out, a load
// writes what a dump read and notes it for recovery, an index rebuild reads
// every record again and sorts its keys. A kind not measured yet is
// estimated from these, scaled by how fast the kinds measured went.
constexpr double kRelativeCost[kCommandKinds] = {0.5, 1.0, 2.0, 2.0};

} // namespace

void MeasuredRates::Measured(CommandKind kind, long long bytes, std::chrono::milliseconds took)
{
    const double x = static_cast<double>(std::max(bytes, 0LL));
    const double y = std::chrono::duration<double>(took).count();
    Sums& sums = sums_[static_cast<std::size_t>(kind)];
    ++sums.commands;
    sums.bytes += x;
    sums.seconds += y;
    sums.squaredBytes += x * x;
    sums.bytesBySeconds += x * y;
}

// Least squares, kept to costs that can be: no negative start and no
// negative time a byte.
std::optional<CommandCost> MeasuredRates::Line(const Sums& sums)
{
    if (sums.commands < 2)
        return std::nullopt;
    const double n = sums.commands;
    const double meanBytes = sums.bytes / n;
    const double meanSeconds = sums.seconds / n;
    const double variance = sums.squaredBytes / n - meanBytes * meanBytes;
    if (!(variance > 0) || std::sqrt(variance) < kLeastSpread * meanBytes)
        return std::nullopt;
    CommandCost cost;
    cost.secondsPerByte = (sums.bytesBySeconds / n - meanBytes * meanSeconds) / variance;
    cost.startSeconds = meanSeconds - cost.secondsPerByte * meanBytes;
    if (cost.startSeconds < 0)
        cost = {0, sums.bytesBySeconds / sums.squaredBytes};
    if (cost.secondsPerByte < 0)
        cost = {meanSeconds, 0};
    return cost;
}

std::optional<double> MeasuredRates::PooledStart() const
{
    double starts = 0;
    int lines = 0;
    for (const Sums& sums : sums_) {
        if (const std::optional<CommandCost> line = Line(sums)) {
            starts += line->startSeconds;
            ++lines;
        }
    }
    if (lines == 0)
        return std::nullopt;
    return starts / lines;
}

// How fast this machine goes, as the time a byte of a dump would take: the
// kinds with a line of their own, weighed by the bytes behind them, or
// before any has one every command measured.
std::optional<double> MeasuredRates::DumpSecondsPerByte() const
{
    double weighed = 0, bytes = 0;
    for (std::size_t kind = 0; kind < kCommandKinds; ++kind) {
        if (const std::optional<CommandCost> line = Line(sums_[kind])) {
            weighed += line->secondsPerByte / kRelativeCost[kind] * sums_[kind].bytes;
            bytes += sums_[kind].bytes;
        }
    }
    if (bytes > 0)
        return weighed / bytes;
    double seconds = 0, dumpBytes = 0;
    for (std::size_t kind = 0; kind < kCommandKinds; ++kind) {
        seconds += sums_[kind].seconds;
        dumpBytes += sums_[kind].bytes * kRelativeCost[kind];
    }
    if (dumpBytes <= 0)
        return std::nullopt;
    return seconds / dumpBytes;
}

// A kind measured on one size alone takes the others' start and the rest
// of its time as its time a byte; one that went through no bytes at all
// tells its start only; one not measured is borrowed.
std::optional<CommandCost> MeasuredRates::CostOf(CommandKind kind) const
{
    const Sums& sums = Of(kind);
    if (const std::optional<CommandCost> line = Line(sums))
        return line;
    const double start = PooledStart().value_or(0);
    const std::optional<double> perDumpByte = DumpSecondsPerByte();
    const double perByte = perDumpByte.value_or(0) * kRelativeCost[static_cast<std::size_t>(kind)];
    if (sums.commands == 0) {
        if (!perDumpByte)
            return std::nullopt;
        return CommandCost{start, perByte};
    }
    const double meanSeconds = sums.seconds / sums.commands;
    const double meanBytes = sums.bytes / sums.commands;
    if (meanBytes <= 0)
        return CommandCost{meanSeconds, perByte};
    const double ownStart = std::min(start, meanSeconds);
    return CommandCost{ownStart, (meanSeconds - ownStart) / meanBytes};
}

Estimate EstimateLeft(const MeasuredRates& rates, const std::vector<WorkLeft>& work)
{
    Estimate estimate;
    // By phase: its databases' seconds, and whether they go side by side.
    std::map<int, std::pair<std::map<std::size_t, double>, bool>> phases;
    for (const WorkLeft& command : work) {
        const std::optional<CommandCost> cost = rates.CostOf(command.kind);
        if (!cost)
            return {};
        estimate.approximate = estimate.approximate || !rates.Knows(command.kind);
        const double running = std::chrono::duration<double>(command.running).count();
        auto& [databases, sideBySide] = phases[command.phase];
        databases[command.database] += std::max(cost->Seconds(command.bytes) - running, 0.0);
        sideBySide = command.sideBySide;
    }
    double seconds = 0;
    for (const auto& [phase, databases] : phases) {
        double most = 0, all = 0;
        for (const auto& [database, left] : databases.first) {
            most = std::max(most, left);
            all += left;
        }
        seconds += databases.second ? most : all;
    }
    estimate.left = std::chrono::seconds(std::llround(seconds));
    return estimate;
}
