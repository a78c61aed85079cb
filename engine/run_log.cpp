#include "run_log.h"

#include <cstdio>

#include "paths.h"
#include "report_files.h"
#include "text_lines.h"
#include "texts.h"

namespace {

std::string Stamp(const LocalTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

// Hundredths of a second, with the Spanish decimal comma.
std::string Seconds(std::chrono::milliseconds duration)
{
    const long long hundredths = (duration.count() + 5) / 10;
    char text[32];
    std::snprintf(text, sizeof text, "%lld,%02lld s", hundredths / 100, hundredths % 100);
    return text;
}

// The lines of a command's output without the blank ones at its end.
std::vector<std::string> OutputLines(const std::string& output)
{
    std::vector<std::string> lines = SplitLines(output);
    while (!lines.empty() && TrimBlanks(lines.back()).empty())
        lines.pop_back();
    return lines;
}

void AddLines(std::string& text, const std::string& output)
{
    for (const std::string& line : OutputLines(output))
        text += "    " + line + "\n";
}

// The commands that ran and failed always; what went otherwise only when it happened.
std::string Figures(const PassFigures& pass)
{
    std::string text = texts::Commands(pass.commandsRun) + ", " + texts::Failed(pass.commandsFailed);
    if (pass.commandsNotStarted > 0)
        text += ", " + texts::NotStartedCount(pass.commandsNotStarted);
    if (pass.invalidLines > 0)
        text += ", " + texts::InvalidLines(pass.invalidLines);
    if (pass.tablesUntried > 0)
        text += ", " + texts::TablesUntried(pass.tablesUntried);
    if (pass.recordsDumped)
        text += ", " + texts::RecordsDumped(*pass.recordsDumped);
    return text + ", " + Seconds(pass.duration);
}

std::string Figures(const CheckFigures& check)
{
    if (!check.notChecked.empty())
        return texts::NotChecked(check.notChecked);
    return texts::TablesEqual(check.equal) + ", " + texts::TablesDifferent(check.different) + ", " +
           texts::TablesNotCopied(check.notCopied);
}

// "12,30 s: korvane 12,30 s, korvane1 8,10 s"
std::string Figures(const PhaseFigures& phase)
{
    std::string text = Seconds(phase.duration) + ":";
    for (const auto& [database, duration] : phase.databases)
        text += (&database == &phase.databases.front().first ? " " : ", ") + database + " " + Seconds(duration);
    return text;
}

// What the summary's times count: a database that seems slow must not be
// taken for one that only waited for a message to be answered.
std::string TimesNote(bool withPhases)
{
    return std::string(texts::kStepTimes) + (withPhases ? texts::kPhaseTimes : "");
}

// What a command is: its line, where it works and with which DLC, and
// where its whole output is kept.
std::string CommandLines(const std::string& heading, const Command& command)
{
    std::string dlc = texts::kSystemDlc;
    for (const auto& [name, value] : command.environment) {
        if (name == "DLC")
            dlc = value;
    }
    return heading + texts::CommandLines(command.line, command.workingFolder, dlc, command.outputFile);
}

// How it ended: its time, exit code and verdict, and what it printed.
std::string EndLines(std::chrono::milliseconds duration, const CommandResult& result, const Verdict& verdict)
{
    std::string text = texts::CommandEnd(Seconds(duration), result.exitCode,
                                         verdict.succeeded ? texts::kCommandSucceeded
                                                           : texts::CommandFailed(verdict.reason));
    if (OutputLines(result.output).empty() && result.outputLeftOut == 0 && OutputLines(result.outputEnd).empty())
        return text + texts::kNoOutput + "\n";
    text += texts::kOutput;
    AddLines(text, result.output);
    if (result.outputLeftOut > 0) {
        text += texts::OutputLeftOut(result.outputLeftOut);
        AddLines(text, result.outputEnd);
    }
    return text + "\n";
}

} // namespace

void RunLog::Begin(const Request& request)
{
    path_ = JoinPath(request.dumpFolder, kLogFileName);
    writing_ = true;
    runStart_ = platform_.Now();
    Append(texts::RunBegins(Stamp(runStart_.local), request));
}

// Written once it has started, so that a command that never ends is still
// found in the log; its whole entry comes when it has ended, so that the
// entries of commands that overlap never interleave.
ClockReading RunLog::CommandStarted(const std::string& database, const Command& command)
{
    const ClockReading now = platform_.Now();
    Append(Stamp(now.local) + "  [" + database + "] " + texts::CommandBegins(command.line) + "\n\n");
    return now;
}

void RunLog::CommandEnded(const std::string& database, const Command& command, const ClockReading& started,
                                const CommandResult& result, const Verdict& verdict, std::optional<long long> bytes)
{
    const ClockReading now = platform_.Now();
    const std::chrono::milliseconds took = now.steady - started.steady;
    std::string text = CommandLines(Stamp(started.local) + "  [" + database + "] ", command) +
                       texts::CommandTimes(Stamp(started.local), Stamp(now.local));
    if (bytes)
        text += texts::CommandBytes(*bytes, took.count() > 0 ? texts::ByteRate(*bytes * 1000.0 / took.count()) : "");
    Append(text + EndLines(took, result, verdict));
}

void RunLog::CommandNotStarted(const std::string& database, const Command& command, const std::string& why,
                                     bool again)
{
    Append(CommandLines(Stamp(platform_.Now().local) + "  [" + database + "] ", command) + "  " +
           texts::NotStarted(why, again) + "\n\n");
}

void RunLog::TableNotRun(const std::string& table, const std::string& reason)
{
    Append(Stamp(platform_.Now().local) + "  " + texts::TableNotRun(table, reason) + "\n\n");
}

void RunLog::Error(const std::string& text)
{
    Append(Stamp(platform_.Now().local) + "  " + texts::LoggedError(text) + "\n\n");
}

void RunLog::Note(const std::string& text)
{
    Append(Stamp(platform_.Now().local) + "  " + text + "\n\n");
}

void RunLog::End(const std::string& outcome, const std::deque<PassFigures>& passes,
                 const std::deque<CheckFigures>& checks, const std::vector<PhaseFigures>& phases,
                 const std::vector<EstimateFigures>& estimates)
{
    const ClockReading now = platform_.Now();
    const std::string total = Seconds(now.steady - runStart_.steady);
    std::string text = texts::RunEnds(Stamp(now.local), total, outcome);
    if (!passes.empty()) {
        text += texts::kSummary;
        for (const PassFigures& pass : passes)
            text += "  " + std::string(pass.pass) + " " + pass.database + ": " + Figures(pass) + "\n";
        for (const CheckFigures& check : checks)
            text += texts::CheckLine(check.database, Figures(check));
        for (const PhaseFigures& phase : phases)
            text += texts::PhaseLine(phase.phase, Figures(phase));
        for (const EstimateFigures& estimate : estimates)
            text += texts::EstimateLine(estimate.share, estimate.left ? Seconds(*estimate.left) : texts::kNoEstimate,
                                        Seconds(now.steady - estimate.at));
        text += texts::TotalTime(total) + TimesNote(!phases.empty());
    }
    Append(text + "\n");
}

std::string RunLog::DetailsNote() const
{
    if (!writing_)
        return {};
    return texts::DetailsNote(path_);
}

std::string RunLog::FailureNotice() const
{
    return texts::LogNotWritten(path_);
}

// Line ends of any kind, in the texts of the program and in the utility's
// output, become those of the platform.
void RunLog::Append(const std::string& text)
{
    if (!writing_)
        return;
    std::string lines;
    for (const std::string& line : SplitLines(text))
        lines += line + kLogLineEnd;
    writing_ = platform_.AppendToFile(path_, lines);
}
