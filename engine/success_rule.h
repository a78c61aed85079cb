#pragma once

#include <string>

#include "platform.h"

// When a command of proutil succeeded. proutil prints its message numbers
// in every language; a command succeeded only when it exited with 0 and
// printed the number of its success message.
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
