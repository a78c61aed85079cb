#pragma once

#include <string>

#include "paths.h"
#include "quoting.h"

// Building proutil command lines for the command interpreter of the platform
// (cmd.exe on Windows, /bin/sh elsewhere).

// The program that a Progress installation's proutil batch file runs; a DLC
// folder that holds it is the bin folder of an installation.
#ifdef _WIN32
inline constexpr const char* kProutilProgram = "_proutil.exe";
#else
inline constexpr const char* kProutilProgram = "_proutil";
#endif

// Where the dump of a table of a database is written, and so read back from.
std::string DumpFilePath(const std::string& dumpFolder, const std::string& database, const std::string& table);

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
