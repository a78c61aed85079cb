// Simulated Progress databases for the stand-in proutil.
//
// A database is a readable UTF-8 text file, one item a line:
//
//   table cliente
//   index cliente-id active
//   index cliente-nombre inactive
//   record 1|Ana García
//   table audit.registro
//   record 7|alta
//
// A table owned by PUB, the default owner, is named alone; a table of any
// other owner is named OWNER.NAME. Names ignore letter case, as Progress's do.
//
// A binary dump file (.bd) starts with the header a load reports and checks,
// then holds one table line followed only by record lines:
//
//   from korvane
//   created Wed May 08 10:15:00 2024
//   number 1
//   definition 5f0c2a9e
//   table cliente
//   record 1|Ana García
//
// Text files let tests set up and inspect databases by hand, which a real
// binary format would not.

#ifndef STANDIN_DATABASE_H
#define STANDIN_DATABASE_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace standin {

struct Index {
    std::string name;
    bool active = true;

    bool operator==(const Index&) const = default;
};

struct Table {
    std::string name;  // NAME for PUB's tables, OWNER.NAME for the others'
    std::vector<Index> indexes;
    std::vector<std::string> records;  // any UTF-8 text without line breaks

    bool operator==(const Table&) const = default;
};

struct Database {
    std::vector<Table> tables;

    // By [OWNER.]NAME in any letter case: "PUB.Cliente" finds cliente.
    Table* Find(const std::string& name);
    const Table* Find(const std::string& name) const;

    bool operator==(const Database&) const = default;
};

struct DumpFile {
    std::string database;  // the database the table was dumped from, by name
    std::string created;   // when, as a load reports it
    int tableNumber = 0;   // the table's place in that database, from 1
    std::uint32_t definition = 0;  // Definition() of the table dumped
    Table table;           // its name and records, no indexes
};

// True when both name the same table: letter case aside, with PUB as the
// owner of a name without one.
bool SameTable(const std::string& a, const std::string& b);

// True when the table belongs to that owner, letter case aside.
bool OwnedBy(const std::string& tableName, const std::string& owner);

// The name of the file a dump of the table writes: "cliente.bd" for
// cliente or PUB.cliente, "audit_registro.bd" for audit.registro.
std::string DumpFileName(const std::string& tableName);

// A checksum of what a load depends on: the table's owner and name and the
// names of its indexes, letter case aside. Records and index states are no
// part of it.
std::uint32_t Definition(const Table& table);

// A size as proutil's table analysis prints it: one decimal and a suffix,
// B, K, M, G or T, by powers of 1024 ("848.0B", "195.6K").
std::string AnalysisSize(std::uint64_t bytes);

// Readers throw std::runtime_error naming the file and line at fault.
Database ReadDatabase(const std::filesystem::path& path);
DumpFile ReadDumpFile(const std::filesystem::path& path);

// Writers go through a temporary file beside the target and rename it, so a
// failed write never leaves a half-written file behind. A dump file is
// written without the table's indexes.
void WriteDatabase(const std::filesystem::path& path, const Database& db);
void WriteDumpFile(const std::filesystem::path& path, const DumpFile& dump);

// Plain std::string paths are in the ANSI code page on Windows; going
// through std::u8string keeps accented folder names intact.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace standin

#endif
