#include "time_estimate.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Sizes this close together draw no line: a fixed cost cannot be told
// from a time a byte.
constexpr double kLeastSpread = 0.05;

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

std::optional<CommandCost> MeasuredRates::Pooled() const
{
    double starts = 0;
    int lines = 0;
    double weighedRates = 0;
    double bytes = 0;
    for (const Sums& sums : sums_) {
        if (const std::optional<CommandCost> line = Line(sums)) {
            starts += line->startSeconds;
            ++lines;
            weighedRates += line->secondsPerByte * sums.bytes;
            bytes += sums.bytes;
        }
    }
    if (lines == 0)
        return std::nullopt;
    return CommandCost{starts / lines, bytes > 0 ? weighedRates / bytes : 0};
}

// A kind measured on one size alone takes the others' start and the rest
// of its time as its time a byte; one that went through no bytes at all
// tells its start only.
std::optional<CommandCost> MeasuredRates::CostOf(CommandKind kind) const
{
    const Sums& sums = Of(kind);
    if (const std::optional<CommandCost> line = Line(sums))
        return line;
    const std::optional<CommandCost> pooled = Pooled();
    if (sums.commands == 0) {
        if (pooled)
            return pooled;
        // Nothing draws a line yet: the kinds measured share their times out.
        double bytes = 0, seconds = 0;
        for (const Sums& other : sums_) {
            bytes += other.bytes;
            seconds += other.seconds;
        }
        if (bytes <= 0)
            return std::nullopt;
        return CommandCost{0, seconds / bytes};
    }
    const double meanSeconds = sums.seconds / sums.commands;
    const double meanBytes = sums.bytes / sums.commands;
    const double start = std::min(pooled ? pooled->startSeconds : 0.0, meanSeconds);
    if (meanBytes <= 0)
        return CommandCost{meanSeconds, pooled ? pooled->secondsPerByte : 0};
    return CommandCost{start, (meanSeconds - start) / meanBytes};
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
