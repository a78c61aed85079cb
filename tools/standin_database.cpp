#include "standin_database.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace standin {

namespace {

// Progress names are plain ASCII. Holding to that also makes a table name
// safe to use as a dump file name.
bool IsName(std::string_view s)
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

struct QualifiedName {
    std::string owner;
    std::string name;
};

// Lower case, so that names compare and check the way Progress's do.
std::string Folded(std::string_view s)
{
    std::string folded(s);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return folded;
}

QualifiedName Qualified(const std::string& tableName)
{
    size_t dot = tableName.find('.');
    if (dot == std::string::npos)
        return {"pub", Folded(tableName)};
    return {Folded(tableName.substr(0, dot)), Folded(tableName.substr(dot + 1))};
}

bool IsTableName(const std::string& s)
{
    size_t dot = s.find('.');
    if (dot == std::string::npos)
        return IsName(s);
    return IsName(std::string_view(s).substr(0, dot)) && IsName(std::string_view(s).substr(dot + 1));
}

std::uint32_t Crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string Hex(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
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
        if (!IsTableName(table.name))
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

// A dump file's header lines come before its table; a database has none.
Database Parse(const fs::path& path, DumpFile* header)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + Utf8FromPath(path));

    const std::vector<std::string> headerKeywords = {"from", "created", "number", "definition"};
    std::vector<bool> seen(headerKeywords.size(), false);
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

        auto headerKeyword = std::find(headerKeywords.begin(), headerKeywords.end(), keyword);
        if (header && !table && headerKeyword != headerKeywords.end())
            seen[static_cast<size_t>(headerKeyword - headerKeywords.begin())] = true;

        if (header && !table && (keyword == "from" || keyword == "created")) {
            if (rest.empty())
                Reject(path, number, keyword + " line without a value");
            (keyword == "from" ? header->database : header->created) = rest;
        } else if (header && !table && (keyword == "number" || keyword == "definition")) {
            const char* end = rest.data() + rest.size();
            std::from_chars_result read{};
            if (keyword == "number")
                read = std::from_chars(rest.data(), end, header->tableNumber);
            else
                read = std::from_chars(rest.data(), end, header->definition, 16);
            if (rest.empty() || read.ec != std::errc() || read.ptr != end)
                Reject(path, number, "bad " + keyword + " \"" + rest + "\"");
        } else if (keyword == "table") {
            if (header && std::find(seen.begin(), seen.end(), false) != seen.end())
                Reject(path, number, "a dump file's table comes after from, created, number and definition lines");
            if (!IsTableName(rest))
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

}  // namespace

Table* Database::Find(const std::string& name)
{
    for (Table& table : tables)
        if (SameTable(table.name, name))
            return &table;
    return nullptr;
}

const Table* Database::Find(const std::string& name) const
{
    return const_cast<Database*>(this)->Find(name);
}

bool SameTable(const std::string& a, const std::string& b)
{
    QualifiedName first = Qualified(a);
    QualifiedName second = Qualified(b);
    return first.owner == second.owner && first.name == second.name;
}

bool OwnedBy(const std::string& tableName, const std::string& owner)
{
    return Qualified(tableName).owner == Folded(owner);
}

std::string DumpFileName(const std::string& tableName)
{
    size_t dot = tableName.find('.');
    if (dot == std::string::npos)
        return tableName + ".bd";
    std::string owner = tableName.substr(0, dot);
    std::string name = tableName.substr(dot + 1);
    return (Folded(owner) == "pub" ? name : owner + "_" + name) + ".bd";
}

std::uint32_t Definition(const Table& table)
{
    QualifiedName name = Qualified(table.name);
    std::string text = name.owner + "." + name.name;
    for (const Index& index : table.indexes) {
        text += '\n';
        text += Folded(index.name);
    }
    return Crc32(text);
}

std::string AnalysisSize(std::uint64_t bytes)
{
    auto size = static_cast<double>(bytes);
    std::string_view suffixes = "BKMGT";
    for (; size >= 1024 && suffixes.size() > 1; suffixes.remove_prefix(1))
        size /= 1024;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%c", size, suffixes.front());
    return text;
}

Database ReadDatabase(const fs::path& path)
{
    return Parse(path, nullptr);
}

DumpFile ReadDumpFile(const fs::path& path)
{
    DumpFile dump;
    Database db = Parse(path, &dump);
    if (dump.tableNumber < 1)
        throw std::runtime_error(Utf8FromPath(path) + ": a table's number starts at 1");
    if (db.tables.size() != 1)
        throw std::runtime_error(Utf8FromPath(path) + ": a dump file holds exactly one table");
    if (!db.tables[0].indexes.empty())
        throw std::runtime_error(Utf8FromPath(path) + ": a dump file holds no index lines");
    dump.table = db.tables[0];
    return dump;
}

void WriteDatabase(const fs::path& path, const Database& db)
{
    ReplaceFile(path, Format(db));
}

void WriteDumpFile(const fs::path& path, const DumpFile& dump)
{
    if (dump.database.find_first_of("\r\n") != std::string::npos ||
        dump.created.find_first_of("\r\n") != std::string::npos)
        throw std::runtime_error("a dump file's header holds a line break");
    std::string header = "from " + dump.database + "\ncreated " + dump.created + "\nnumber " +
                         std::to_string(dump.tableNumber) + "\ndefinition " + Hex(dump.definition) + "\n";
    ReplaceFile(path, header + Format(Database{{Table{dump.table.name, {}, dump.table.records}}}));
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
