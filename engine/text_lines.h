#pragma once

#include <string>
#include <vector>

// Lines of text as people write them, in any system's line ends.

// CR LF, a lone CR and a lone LF all end a line; a last line without an
// ending counts, an ending at the very end adds no empty line. Lines are
// kept exactly as written, blanks included.
std::vector<std::string> SplitLines(const std::string& text);

// The text without the blanks and tabs around it.
std::string TrimBlanks(const std::string& text);
