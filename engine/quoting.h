#pragma once

#include <string>

// What the command interpreter of the platform (cmd.exe on Windows, /bin/sh
// elsewhere) passes on unchanged, and how to quote for it.

// False for text that no quoting gets through the interpreter unchanged:
// control characters anywhere; on Windows also '"' and '%' (cmd expands
// %NAME% even between quotes).
bool CanPassIntact(const std::string& text);

// The text as one argument of the interpreter's line: unchanged when it holds
// nothing the interpreter treats specially, quoted otherwise. Requires
// CanPassIntact.
std::string QuoteArgument(const std::string& text);
