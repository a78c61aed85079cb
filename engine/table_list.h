#pragma once

#include <string>
#include <vector>

// The lines of a table list. CR LF, a lone CR and a lone LF all end a line;
// a last line without an ending counts, an ending at the very end adds no
// empty line. Lines are kept exactly as written, blanks included.
std::vector<std::string> SplitTableList(const std::string& text);

// An empty line or one of blanks only names no table.
bool IsBlankLine(const std::string& line);
