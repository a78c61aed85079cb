// Simulated Progress databases for the stand-in proutil.
//
// A database is a readable UTF-8 text file, one item a line:
//
//   table cliente
//   index cliente-id active
//   index cliente-nombre inactive
//   record 1|Ana García
//
// A binary dump file (.bd) uses the same lines: one table line followed
// only by record lines. Text files let tests set up and inspect databases
// by hand, which a real binary format would not.

#ifndef STANDIN_DATABASE_H
#define STANDIN_DATABASE_H

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
    std::string name;
    std::vector<Index> indexes;
    std::vector<std::string> records;  // any UTF-8 text without line breaks

    bool operator==(const Table&) const = default;
};

struct Database {
    std::vector<Table> tables;

    Table* Find(const std::string& name);
    const Table* Find(const std::string& name) const;

    bool operator==(const Database&) const = default;
};

// Readers throw std::runtime_error naming the file and line at fault.
Database ReadDatabase(const std::filesystem::path& path);
Table ReadDumpFile(const std::filesystem::path& path);

// Writers go through a temporary file beside the target and rename it, so a
// failed write never leaves a half-written database behind.
void WriteDatabase(const std::filesystem::path& path, const Database& db);
void WriteDumpFile(const std::filesystem::path& path, const Table& table);

// Plain std::string paths are in the ANSI code page on Windows; going
// through std::u8string keeps accented folder names intact.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace standin

#endif
