#pragma once

#include <string>

// Building proutil command lines for the command interpreter of the platform
// (cmd.exe on Windows, /bin/sh elsewhere).

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

std::string JoinPath(const std::string& folder, const std::string& name);

// False for text that no quoting gets through the interpreter unchanged:
// control characters anywhere; on Windows also '"' and '%' (cmd expands
// %NAME% even between quotes).
bool CanPassIntact(const std::string& text);

// The text as one argument of the interpreter's line: unchanged when it holds
// nothing the interpreter treats specially, quoted otherwise. Requires
// CanPassIntact.
std::string QuoteArgument(const std::string& text);

// The table name is used without the blanks around it: a list line
// "cliente " dumps and loads the table cliente.
// DLC\proutil DB\base.db -C dump table DUMP\base
std::string DumpCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder);
// DLC\proutil DB\base.db -C load table DUMP\base\table.bd
std::string LoadCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder);
// DLC\proutil DB\base.db -C idxbuild all
std::string IndexRebuildCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                const std::string& database);
