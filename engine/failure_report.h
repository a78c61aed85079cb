#pragma once

#include <string>
#include <vector>

#include "platform.h"

// proutil prints its message numbers in every language; a command succeeded
// only when it exited with 0 and printed the number of its success message.
inline constexpr const char* kDumpDone = "(6254)";
inline constexpr const char* kLoadDone = "(6256)";
inline constexpr const char* kIndexRebuildDone = "(11465)";

// The one decision on a command: the log, the failure messages and the
// run's outcome all take it from here.
struct Verdict {
    bool succeeded = false;
    // Which part of the success test the command failed, in words; empty
    // when it succeeded.
    std::string reason;
};

Verdict JudgeCommand(const CommandResult& result, const char* successNumber);

// An index rebuild succeeded as every command does, and when its output
// counts no errors: proutil may rebuild, print its success number, count
// the errors it met in words ("2 error(s)") and still exit with 0.
Verdict JudgeIndexRebuild(const CommandResult& result);

struct TableAnalysis;
// A table analysis succeeded when it exited with 0 and its whole output,
// read into analysis, is a report taken while nobody used the database:
// with the database in use its counts are approximations.
Verdict JudgeTableAnalysis(const CommandResult& result, const TableAnalysis& analysis);

// The records a dump said it wrote ("Dumped N records. (13932)"), or -1
// when it did not say.
long long RecordsDumped(const CommandResult& result);

// The utility's last line of output, as it can be shown; empty when it
// printed nothing.
std::string LastLine(const CommandResult& result);

// A text from outside (a table name, a line of output) as a message box can
// show it: control characters written out, and cut with "…" past a length
// that a box can show on a screen.
std::string Shown(const std::string& text);

// A count as Spanish texts write it: 6.935, 1.250.000.
std::string Thousands(long long number);
// "1 orden" or "6.935 órdenes": the count and the word that agrees with it.
std::string CountText(long long count, const char* one, const char* many);

// Lines of a message box, each after a line break and indent, as many as
// a box shows, then how many more there were.
std::string ShownLines(const std::vector<std::string>& lines, const char* indent);

// The last paragraph of the message of a pass that stopped early: how many
// tables of the list it never came to; empty for none.
std::string UntriedNote(int tables, const std::string& listName);

struct FailedTable {
    std::string table;
    std::string reason;
    std::string lastLine;
};

// Why a command failed, then the utility's last line on a line of its own
// when the reason does not already quote it.
std::string FailureLines(const std::string& reason, const std::string& lastLine);

// One message for all the tables of a database that failed in a pass.
std::string FailedTablesMessage(const std::string& database, const std::vector<FailedTable>& failed);
