#pragma once

#include <string>
#include <vector>

#include "platform.h"

// What the user is told of the failures of a run, in message boxes that
// fit on a screen: texts from outside cut and made visible, counts worded.

// The utility's last line of output, as it can be shown; empty when it
// printed nothing.
std::string LastLine(const CommandResult& result);

// A text from outside (a table name, a line of output) as a message box can
// show it: control characters written out, and cut with "…" past a length
// that a box can show on a screen.
std::string Shown(const std::string& text);

// A sentence of the program's own to follow a colon: its first letter in
// lower case.
std::string InSentence(std::string text);

// A count as Spanish texts write it: 6.935, 1.250.000.
std::string Thousands(long long number);
// "1 orden" or "6.935 órdenes": the count and the word that agrees with it.
std::string CountText(long long count, const char* one, const char* many);

// Entries of a message box, each after a line break and the indent, as
// many as a box shows, then how many more there were. Entries are shown
// as they are: the caller makes what comes from outside Shown.
std::string ShownEntries(const std::vector<std::string>& entries, const char* indent);
// Lines from outside, each Shown, listed as ShownEntries lists them.
std::string ShownLines(const std::vector<std::string>& lines, const char* indent);

// The last paragraph of the message of a pass that stopped early: how many
// tables of the list it never came to; empty for none.
std::string UntriedNote(int tables, const std::string& listName);

// Why a command failed, then the utility's last line on a line of its own
// when the reason does not already quote it.
std::string FailureLines(const std::string& reason, const std::string& lastLine);

struct FailedTable {
    std::string table;
    std::string reason;
    std::string lastLine;
};

// One message for all the tables of a database that failed in a pass.
std::string FailedTablesMessage(const std::string& database, const std::vector<FailedTable>& failed);
