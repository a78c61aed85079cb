#include "standin_database.h"

#include <fstream>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace standin {

namespace {

// Progress names are plain ASCII. Holding to that also makes a table name
// safe to use as a dump file name.
bool IsName(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && std::string_view("#$%&-_").find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

[[noreturn]] void Reject(const fs::path& path, int line, const std::string& what)
{
    throw std::runtime_error(Utf8FromPath(path) + ":" + std::to_string(line) + ": " + what);
}

// Everything is checked before the file is touched, so a database that
// cannot be written leaves the old file as it was.
std::string Format(const Database& db)
{
    std::string text;
    for (const Table& table : db.tables) {
        if (!IsName(table.name))
            throw std::runtime_error("bad table name \"" + table.name + "\"");
        text += "table " + table.name + "\n";
        for (const Index& index : table.indexes) {
            if (!IsName(index.name))
                throw std::runtime_error("bad index name \"" + index.name + "\" in table " + table.name);
            text += "index " + index.name + (index.active ? " active\n" : " inactive\n");
        }
        for (const std::string& record : table.records) {
            if (record.find_first_of("\r\n") != std::string::npos)
                throw std::runtime_error("a record of table " + table.name + " holds a line break");
            text += "record " + record + "\n";
        }
    }
    return text;
}

void ReplaceFile(const fs::path& path, const std::string& text)
{
    fs::path temporary = path;
    temporary += ".tmp";
    std::error_code ignored;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + Utf8FromPath(temporary));
        }
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot replace " + Utf8FromPath(path) + ": " + ec.message());
    }
}

}  // namespace

Table* Database::Find(const std::string& name)
{
    for (Table& table : tables)
        if (table.name == name)
            return &table;
    return nullptr;
}

const Table* Database::Find(const std::string& name) const
{
    return const_cast<Database*>(this)->Find(name);
}

Database ReadDatabase(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + Utf8FromPath(path));

    Database db;
    Table* table = nullptr;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        size_t blank = line.find(' ');
        std::string keyword = line.substr(0, blank);
        std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);

        if (keyword == "table") {
            if (!IsName(rest))
                Reject(path, number, "bad table name \"" + rest + "\"");
            if (db.Find(rest))
                Reject(path, number, "table " + rest + " appears twice");
            db.tables.push_back(Table{rest, {}, {}});
            table = &db.tables.back();
        } else if (keyword == "record" || keyword == "index") {
            if (!table)
                Reject(path, number, keyword + " line before any table line");
            if (keyword == "record") {
                table->records.push_back(rest);
                continue;
            }
            blank = rest.find(' ');
            std::string name = rest.substr(0, blank);
            std::string state = blank == std::string::npos ? "" : rest.substr(blank + 1);
            if (!IsName(name) || (state != "active" && state != "inactive"))
                Reject(path, number, "expected \"index NAME active\" or \"index NAME inactive\"");
            table->indexes.push_back(Index{name, state == "active"});
        } else {
            Reject(path, number, "unknown keyword \"" + keyword + "\"");
        }
    }
    if (in.bad())
        throw std::runtime_error("cannot read " + Utf8FromPath(path));
    return db;
}

Table ReadDumpFile(const fs::path& path)
{
    Database db = ReadDatabase(path);
    if (db.tables.size() != 1)
        throw std::runtime_error(Utf8FromPath(path) + ": a dump file holds exactly one table");
    if (!db.tables[0].indexes.empty())
        throw std::runtime_error(Utf8FromPath(path) + ": a dump file holds no index lines");
    return db.tables[0];
}

void WriteDatabase(const fs::path& path, const Database& db)
{
    ReplaceFile(path, Format(db));
}

void WriteDumpFile(const fs::path& path, const Table& table)
{
    ReplaceFile(path, Format(Database{{Table{table.name, {}, table.records}}}));
}

fs::path PathFromUtf8(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path)
{
    std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace standin
