#pragma once

#include <string>

// Building proutil command lines for the command interpreter of the platform
// (cmd.exe on Windows, /bin/sh elsewhere).

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The program that a Progress installation's proutil batch file runs; a DLC
// folder that holds it is the bin folder of an installation.
#ifdef _WIN32
inline constexpr const char* kProutilProgram = "_proutil.exe";
#else
inline constexpr const char* kProutilProgram = "_proutil";
#endif

std::string JoinPath(const std::string& folder, const std::string& name);

// The text without the blanks and tabs around it.
std::string TrimBlanks(const std::string& text);

// A path that names its drive (D:\bd) or share (\\server\bd), so that it
// does not depend on the program's current folder.
bool IsFullPath(const std::string& path);

// A share (\\server\bd), which the command interpreter cannot take as its
// current folder: Windows' cmd.exe falls back to the Windows folder.
bool IsNetworkPath(const std::string& path);

// The share a network path lies in, \\server\share, without a trailing
// separator; empty for any other path.
std::string ShareOf(const std::string& path);

// The folder that holds this one; empty for a root or a bare name.
std::string ParentFolder(const std::string& folder);

// Where the dump of a table of a database is written, and so read back from.
std::string DumpFilePath(const std::string& dumpFolder, const std::string& database, const std::string& table);

// False for text that no quoting gets through the interpreter unchanged:
// control characters anywhere; on Windows also '"' and '%' (cmd expands
// %NAME% even between quotes).
bool CanPassIntact(const std::string& text);

// The text as one argument of the interpreter's line: unchanged when it holds
// nothing the interpreter treats specially, quoted otherwise. Requires
// CanPassIntact.
std::string QuoteArgument(const std::string& text);

// The table is a name as ListedTables gives it.
// DLC\proutil DB\base.db -C dump table DUMP\base
std::string DumpCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder);
// DLC\proutil DB\base.db -C load DUMP\base\table.bd: the one file the dump wrote
std::string LoadCommand(const std::string& dlcFolder, const std::string& dbFolder,
                        const std::string& database, const std::string& table,
                        const std::string& dumpFolder);
// DLC\proutil DB\base.db -C idxbuild all
std::string IndexRebuildCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                const std::string& database);
// DLC\proutil DB\base.db -C tabanalys: the records of every table
std::string TableAnalysisCommand(const std::string& dlcFolder, const std::string& dbFolder,
                                 const std::string& database);
