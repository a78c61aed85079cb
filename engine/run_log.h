#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "success_rule.h"
#include "platform.h"
#include "request.h"

// Notepad on older Windows servers shows a file as one line without CR LF.
#ifdef _WIN32
inline constexpr const char* kLogLineEnd = "\r\n";
#else
inline constexpr const char* kLogLineEnd = "\n";
#endif

// What one pass did to one database, for the summary at the end of a run.
struct PassFigures {
    PassFigures(const char* passName, std::string databaseName) : pass(passName), database(std::move(databaseName)) {}

    const char* pass;  // "Descarga", "Carga", "Índices"
    std::string database;
    // Commands that ran, and those of them that failed.
    int commandsRun = 0;
    int commandsFailed = 0;
    // Commands whose interpreter could not be started, even when tried again.
    int commandsNotStarted = 0;
    // List lines that run nothing and fail the pass: no table name, a table
    // named again, a dump file another table takes.
    int invalidLines = 0;
    // Tables of the list never tried, after an error that stopped the pass.
    int tablesUntried = 0;
    // Records proutil said it dumped in the dumps that succeeded, when it said so.
    std::optional<long long> recordsDumped;
    // When the pass began, and how long it took once it has ended.
    std::chrono::milliseconds start{0};
    std::chrono::milliseconds duration{0};
    bool ended = false;
};

// How one database's records compared, for the summary at the end of a run.
struct CheckFigures {
    explicit CheckFigures(std::string databaseName) : database(std::move(databaseName)) {}

    std::string database;
    int equal = 0;
    int different = 0;
    // Tables with records in the source that the run did not load.
    int notCopied = 0;
    // Why there was no comparison; empty when there was one.
    std::string notChecked;
};

// How long each database took in a phase of a run that worked on them
// side by side, for the summary at its end.
struct PhaseFigures {
    const char* phase;  // "Descarga", "Carga"...
    std::chrono::milliseconds duration{0};
    std::vector<std::pair<std::string, std::chrono::milliseconds>> databases;
};

// The time left as the run estimated it when a share of its work was done,
// for the summary at its end.
struct EstimateFigures {
    const char* share;  // "1/4", "1/2", "3/4"
    std::chrono::milliseconds at{0};
    std::optional<std::chrono::seconds> left;
};

// The log of the runs, vaciallena.log in the dump-file folder: what an
// administrator who is told that a table failed reads to learn why. Every
// entry is appended whole and the file closed again, so that it can be read
// while a run goes on and what was written survives the program's end.
//
// The log never changes a run: after the first entry that cannot be written
// the rest of the run's entries are dropped, so that no log with holes is
// left looking complete, and the run tells the user once at its end.
class RunLog {
  public:
    explicit RunLog(Platform& platform) : platform_(platform) {}

    // Starts a run's entries with the request as the run uses it; the log
    // goes into its dump-file folder.
    void Begin(const Request& request);
    // A command of a database: a line once it has started, and its whole
    // entry, with when it started and ended, once it has ended, so that the
    // entries of commands that overlap never interleave. The DLC it runs
    // with is the DLC variable it is given, or the machine's own when it is
    // given none. CommandStarted returns when it started, for its end.
    ClockReading CommandStarted(const std::string& database, const Command& command);
    // bytes, what the command went through, when the run's work is weighed.
    void CommandEnded(const std::string& database, const Command& command, const ClockReading& started,
                      const CommandResult& result, const Verdict& verdict, std::optional<long long> bytes);
    // The command's interpreter could not be started; again when it is
    // tried once more. Such a command has no line of its start: this entry
    // names it.
    void CommandNotStarted(const std::string& database, const Command& command, const std::string& why, bool again);
    void TableNotRun(const std::string& table, const std::string& reason);
    // An error of the program itself, as the user is told it.
    void Error(const std::string& text);
    // Anything else the administrator should find in the log.
    void Note(const std::string& text);
    // The outcome, then a summary of the passes that ran, of the databases
    // whose records were compared, of the phases that worked on the
    // databases side by side and of how the time left was estimated.
    void End(const std::string& outcome, const std::deque<PassFigures>& passes,
             const std::deque<CheckFigures>& checks, const std::vector<PhaseFigures>& phases,
             const std::vector<EstimateFigures>& estimates);

    // True while every entry of the run has been written.
    bool Writing() const { return writing_; }
    // A last paragraph for a failure message: where the details are, or
    // nothing when the log is not there to read.
    std::string DetailsNote() const;
    // What the user is told at the end of a run whose log failed.
    std::string FailureNotice() const;

  private:
    void Append(const std::string& text);

    Platform& platform_;
    std::string path_;
    bool writing_ = false;
    ClockReading runStart_;
};
