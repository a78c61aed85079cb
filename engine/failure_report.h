#pragma once

#include <string>
#include <vector>

#include "platform.h"

// proutil prints its message numbers in every language; a command succeeded
// only when it exited with 0 and printed the number of its success message.
inline constexpr const char* kDumpDone = "(6254)";
inline constexpr const char* kLoadDone = "(6256)";
inline constexpr const char* kIndexRebuildDone = "(11465)";

bool CommandSucceeded(const CommandResult& result, const char* successNumber);

// Which part of that test a command failed, in words for the run log; empty
// when it succeeded.
std::string FailureReason(const CommandResult& result, const char* successNumber);

// What to tell the user about a failed command: the utility's last line of
// output, or its exit code when it printed nothing.
std::string FailureDetail(const CommandResult& result);

struct FailedTable {
    std::string table;
    std::string detail;
};

// One message for all the tables of a database that failed in a pass.
std::string FailedTablesMessage(const std::string& database, const std::vector<FailedTable>& failed);
