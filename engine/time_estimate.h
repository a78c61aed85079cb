#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

// How long the rest of a run will take, from what its own commands took:
// every kind of command has a cost to start and a time for each byte it
// goes through, and proutil's kinds differ in both.

enum class CommandKind { Count, Dump, Load, IndexRebuild };
inline constexpr std::size_t kCommandKinds = 4;

struct CommandCost {
    double startSeconds = 0;
    double secondsPerByte = 0;

    double Seconds(long long bytes) const { return startSeconds + secondsPerByte * static_cast<double>(bytes); }
};

// The costs learnt from the commands of a run that succeeded: a straight
// line through their times against their bytes, for each kind.
class MeasuredRates {
  public:
    void Measured(CommandKind kind, long long bytes, std::chrono::milliseconds took);
    bool Knows(CommandKind kind) const { return Of(kind).commands > 0; }
    // Its own cost once a command of the kind has been measured; before,
    // one borrowed from the kinds that have; nothing before any has.
    std::optional<CommandCost> CostOf(CommandKind kind) const;

  private:
    struct Sums {
        int commands = 0;
        double bytes = 0;
        double seconds = 0;
        double squaredBytes = 0;
        double bytesBySeconds = 0;
    };
    const Sums& Of(CommandKind kind) const { return sums_[static_cast<std::size_t>(kind)]; }
    // The kind's own line, when its commands differ enough in size to draw one.
    static std::optional<CommandCost> Line(const Sums& sums);
    // The start of the kinds with a line of their own.
    std::optional<double> PooledStart() const;
    std::optional<double> DumpSecondsPerByte() const;

    std::array<Sums, kCommandKinds> sums_;
};

// A command not over yet, as the estimate sees it.
struct WorkLeft {
    CommandKind kind = CommandKind::Count;
    long long bytes = 0;
    // Its phase, in the run's order, and its database: the databases of a
    // phase that goes side by side each go at once.
    int phase = 0;
    std::size_t database = 0;
    bool sideBySide = false;
    // How long it has been running; zero for one still to come.
    std::chrono::milliseconds running{0};
};

struct Estimate {
    // Nothing before any command has been measured.
    std::optional<std::chrono::seconds> left;
    // A kind of command left has not been measured: its cost is borrowed.
    bool approximate = false;
};

// The phases one after another; within a phase side by side the database
// with the most left, otherwise its commands added up.
Estimate EstimateLeft(const MeasuredRates& rates, const std::vector<WorkLeft>& work);
