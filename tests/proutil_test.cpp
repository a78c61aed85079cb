#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "command_line.h"
#include "command_runner.h"
#include "standin_database.h"
#include "system_helpers.h"
#include "table_analysis.h"
#include "table_list.h"

namespace {

using standin::Database;
using standin::Table;

#ifdef _WIN32
const int kCrashExit = -1073741819;  // 0xC0000005
const char* const kDropErrors = " 2>nul";
#else
const int kCrashExit = 128 + 11;  // killed by SIGSEGV, as the shell reports it
const char* const kDropErrors = " 2>/dev/null";
#endif

// Progress's success numbers, and the in-use warning of a table analysis
// that still reports: a refused or failed command shows none of them.
const int kSuccessNumbers[] = {13932, 6254, 6203, 6204, 6256, 11465, 2486};

Database Source()
{
    return {{
        {"cliente", {{"cliente-id", true}, {"cliente-nombre", true}}, {"1|Ana García", "2|Luis Peña"}},
        {"audit.registro", {{"registro-id", true}}, {"7|alta"}},
    }};
}

Database Empty()
{
    Database db = Source();
    for (Table& table : db.tables)
        table.records.clear();
    return db;
}

// The destination before the command.
enum class Before { Empty, Loaded, OtherDefinition, Locked };
// The destination after it: cliente's records added with its indexes left
// to rebuild, all of them or all but the last, audit.registro's added with
// its indexes built, or all indexes rebuilt.
enum class After { Unchanged, Loaded, LoadedShort, RegistroLoaded, Rebuilt };
// What the command prints of the destination's table analysis: nothing, its
// records, or its records flagged as approximations.
enum class Report { None, Exact, Approximate };

struct Row {
    const char* line;  // SRC, DST and VOL stand for the source, the destination and the dump folder
    std::vector<std::pair<std::string, std::string>> environment;
    Before before;
    int exitCode;
    std::vector<int> numbers;
    std::vector<std::string> dumpFiles;  // what the dump folder holds afterwards
    After after;
    Report report = Report::None;
    std::string says = {};  // printed word for word, line ends included, when not empty
};

const std::vector<std::string> kDumped = {"audit_registro.bd", "cliente.bd"};

const Row kRows[] = {
    {"SRC -C dump PUB.cliente VOL", {}, Before::Empty, 0, {13932, 6254}, {"cliente.bd"}, After::Unchanged},
    {"SRC.db -C dump audit.registro VOL -index 1", {}, Before::Empty, 0, {13932, 6254}, {"audit_registro.bd"}, After::Unchanged},
    {"SRC.db -C dump CLIENTE VOL", {}, Before::Empty, 0, {13932, 6254}, {"CLIENTE.bd"}, After::Unchanged},
    {"SRC.db -C dump nadie VOL", {}, Before::Empty, 2, {6252}, {}, After::Unchanged},
    {"SRC.db -C dump cliente VOL extra", {}, Before::Empty, 2, {1405}, {}, After::Unchanged},
    {"SRC.db -C unload cliente VOL", {}, Before::Empty, 2, {1404}, {}, After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {}, Before::Empty, 0, {6203, 6204, 6256}, kDumped, After::Loaded},
    {"DST -C load VOL/audit_registro.bd build indexes", {}, Before::Empty, 0, {6203, 6204, 6256}, kDumped, After::RegistroLoaded},
    // The line of the first versions of the program: "cliente" is the file.
    {"DST.db -C load cliente VOL/cliente.bd", {}, Before::Empty, 2, {1405}, kDumped, After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {}, Before::Loaded, 0, {6203, 6204, 6256}, kDumped, After::Loaded},
    {"DST.db -C load VOL/cliente.bd", {}, Before::OtherDefinition, 2, {6203, 6209}, kDumped, After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {}, Before::Locked, 2, {263}, kDumped, After::Unchanged},
    {"DST.db -C idxbuild all", {}, Before::Loaded, 0, {11465}, {}, After::Rebuilt, Report::None,
     "(11465)\nIndex rebuild complete. 0 error(s) encountered.\n"},
    // A rebuild seen to count its errors and still exit 0.
    {"DST.db -C idxbuild all", {{"PROUTIL_IDXBUILD_ERRORS", "2"}}, Before::Loaded, 0, {11465}, {}, After::Rebuilt,
     Report::None, "(11465)\nIndex rebuild complete. 2 error(s) encountered.\n"},
    {"DST.db -C idxbuild all", {{"PROUTIL_LIE_TABLE", "*"}}, Before::Loaded, 1, {11465}, {}, After::Rebuilt},
    {"DST.db -C idxbuild all", {{"PROUTIL_IDXBUILD_ERRORS", "dos"}}, Before::Loaded, 2, {9998}, {}, After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_MS_PER_RECORD", "-1"}}, Before::Empty, 2, {9998}, {}, After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_US_PER_BYTE", "dump:1,copia:1"}}, Before::Empty, 2, {9998}, {},
     After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_US_PER_BYTE", "dump:1,dump:2"}}, Before::Empty, 2, {9998}, {},
     After::Unchanged},
    {"DST.db -C idxbuild", {}, Before::Loaded, 2, {11466}, {}, After::Unchanged},
    {"DST.db -C idxbuild table", {}, Before::Loaded, 2, {1403}, {}, After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_FAIL_TABLE", "Cliente"}}, Before::Empty, 3, {9999}, {}, After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {{"PROUTIL_FAIL_TABLE", "cliente"}, {"PROUTIL_FAIL_EXIT", "0"}}, Before::Empty, 0,
     {9999}, kDumped, After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_SILENT_TABLE", "cliente"}}, Before::Empty, 3, {}, {}, After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {{"PROUTIL_LIE_TABLE", "cliente"}}, Before::Empty, 1, {6203, 6204, 6256}, kDumped,
     After::Loaded},
    {"DST.db -C load VOL/cliente.bd", {{"PROUTIL_CRASH_TABLE", "cliente"}}, Before::Empty, kCrashExit, {6203, 6204},
     kDumped, After::Unchanged},
    {"DST.db -C idxbuild all", {{"PROUTIL_SILENT_TABLE", "*"}}, Before::Loaded, 3, {}, {}, After::Unchanged},
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_DELAY_MS", "1"}}, Before::Empty, 0, {13932, 6254}, {"cliente.bd"},
     After::Unchanged},
    {"DST.db -C load VOL/cliente.bd", {{"PROUTIL_SHORT_TABLE", "Cliente"}}, Before::Empty, 0, {6203, 6204, 6256},
     kDumped, After::LoadedShort},
    {"DST.db -C tabanalys", {}, Before::Loaded, 0, {}, {}, After::Unchanged, Report::Exact},
    {"DST -C TABANALYS", {}, Before::Empty, 0, {}, {}, After::Unchanged, Report::Exact},
    {"DST.db -C tabanalys", {}, Before::Locked, 0, {2486}, {}, After::Unchanged, Report::Approximate},
    {"DST.db -C tabanalys", {{"PROUTIL_IN_USE_WARNING", "1"}}, Before::Loaded, 0, {2486}, {}, After::Unchanged,
     Report::Approximate},
    {"DST.db -C tabanalys", {{"PROUTIL_WRAP_NAMES", "0"}}, Before::Loaded, 0, {}, {}, After::Unchanged, Report::Exact},
    {"DST.db -C tabanalys all", {}, Before::Loaded, 2, {1405}, {}, After::Unchanged},
    {"DST.db -C tabanalys", {{"PROUTIL_TABANALYS", "9.1"}}, Before::Loaded, 0, {}, {}, After::Unchanged, Report::Exact},
    {"DST.db -C tabanalys", {{"PROUTIL_TABANALYS", "wrapped"}}, Before::Loaded, 0, {}, {}, After::Unchanged,
     Report::Exact, "audit.registro\n"},
    {"DST.db -C tabanalys", {{"PROUTIL_TABANALYS", "11"}}, Before::Loaded, 0, {}, {}, After::Unchanged, Report::Exact,
     "PUB.cliente.Initial(Composite)\n"},
    {"DST.db -C tabanalys", {{"PROUTIL_TABANALYS", "10"}}, Before::Loaded, 2, {9998}, {}, After::Unchanged},
    // A damaged record is left out, and the dump still says it succeeded.
    {"SRC.db -C dump cliente VOL", {{"PROUTIL_DAMAGED_TABLE", "cliente"}}, Before::Empty, 0, {9200, 13932, 6254},
     {"cliente.bd"}, After::Unchanged, Report::None, "dumped. (9200)\nDumped 1 records. (13932)\n"},
};

// "(N)", the end of a message of number N.
std::string Numbered(int number)
{
    std::string text = "(";
    text += std::to_string(number);
    return text + ")";
}

std::map<std::string, long long> Counts(const Database& db)
{
    std::map<std::string, long long> counts;
    for (const Table& table : db.tables)
        counts[TableKey(table.name)] = static_cast<long long>(table.records.size());
    return counts;
}

std::map<std::string, long long> Counts(const TableAnalysis& analysis)
{
    std::map<std::string, long long> counts;
    for (const auto& [key, table] : analysis.tables)
        counts[key] = table.records;
    return counts;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class ProutilStandin : public ::testing::Test {
  protected:
    TempFolder root;
    std::string source = JoinPath(root.Make("bases (origen)"), "korvane");
    std::string destination = JoinPath(root.Make("bases destino"), "korvane");
    std::string dumpFolder = root.Make("ficheros bd");
    std::string envLog = JoinPath(root.Path(), "entorno.log");
    std::string dlc = JoinPath(root.Path(), "dlc de prueba");

    std::string Line(const char* row) const
    {
        std::string line = QuoteArgument(JoinPath(StandinFolder(), "proutil"));
        size_t start = 0;
        const std::string text = row;
        while (start < text.size()) {
            size_t end = std::min(text.find(' ', start), text.size());
            std::string word = text.substr(start, end - start);
            word = Replace(Replace(Replace(word, "SRC", source), "DST", destination), "VOL", dumpFolder);
            std::replace(word.begin(), word.end(), '/', kPathSeparator);
            line += ' ';
            line += QuoteArgument(word);
            start = end + 1;
        }
        return line;
    }

    CommandResult Run(const std::string& line, std::vector<std::pair<std::string, std::string>> environment) const
    {
        environment.emplace_back("PROUTIL_ENV_LOG", envLog);
        environment.emplace_back("DLC", dlc);
        return EjecutaComando(Command{line, root.Path(), environment, {}}, [] {});
    }

    std::vector<std::string> DumpFolderFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(standin::PathFromUtf8(dumpFolder)))
            names.push_back(standin::Utf8FromPath(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    void Reset(const Row& row) const
    {
        std::filesystem::remove_all(standin::PathFromUtf8(dumpFolder));
        std::filesystem::create_directories(standin::PathFromUtf8(dumpFolder));
        std::filesystem::remove(standin::PathFromUtf8(destination + ".lk"));
        standin::WriteDatabase(standin::PathFromUtf8(source + ".db"), Source());
        Database db = row.before == Before::Loaded ? Source() : Empty();
        if (row.before == Before::OtherDefinition)
            db.Find("cliente")->indexes.push_back({"cliente-alta", true});
        for (standin::Index& index : db.Find("cliente")->indexes)
            index.active = row.before != Before::Loaded;
        standin::WriteDatabase(standin::PathFromUtf8(destination + ".db"), db);
        if (row.before == Before::Locked)
            std::filesystem::create_directory(standin::PathFromUtf8(destination + ".lk"));
        if (std::string(row.line).find("VOL/") != std::string::npos) {
            const Database dumped = Source();
            for (size_t n = 0; n < dumped.tables.size(); ++n) {
                const Table& table = dumped.tables[n];
                standin::WriteDumpFile(standin::PathFromUtf8(JoinPath(dumpFolder, standin::DumpFileName(table.name))),
                                       {"korvane", "Wed May 08 10:15:00 2024", static_cast<int>(n) + 1,
                                        standin::Definition(table), table});
            }
        }
    }

    static Database Expected(Database db, After after)
    {
        Table& cliente = *db.Find("cliente");
        if (after == After::RegistroLoaded)
            db.Find("audit.registro")->records = Source().Find("audit.registro")->records;
        if (after == After::Loaded || after == After::LoadedShort) {
            std::vector<std::string> records = Source().Find("cliente")->records;
            if (after == After::LoadedShort)
                records.pop_back();
            cliente.records.insert(cliente.records.end(), records.begin(), records.end());
            for (standin::Index& index : cliente.indexes)
                index.active = false;
        }
        if (after == After::Rebuilt) {
            for (Table& table : db.tables)
                for (standin::Index& index : table.indexes)
                    index.active = true;
        }
        return db;
    }
};

TEST_F(ProutilStandin, FollowsTheDocumentedCommandLines)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.line);
        Reset(row);
        const Database before = standin::ReadDatabase(standin::PathFromUtf8(destination + ".db"));
        const CommandResult result = Run(Line(row.line), row.environment);

        EXPECT_EQ(result.exitCode, row.exitCode) << result.output;
        for (int number : row.numbers) {
            const size_t at = result.output.find(Numbered(number));
            ASSERT_NE(at, std::string::npos) << result.output;
            const bool success = std::count(std::begin(kSuccessNumbers), std::end(kSuccessNumbers), number) > 0;
            const size_t lineStart = result.output.rfind('\n', at) == std::string::npos ? 0 : result.output.rfind('\n', at) + 1;
            EXPECT_EQ(result.output.compare(lineStart, 3, "** ") == 0, !success) << result.output;
        }
        for (int number : kSuccessNumbers) {
            if (std::count(row.numbers.begin(), row.numbers.end(), number) == 0) {
                EXPECT_EQ(result.output.find(Numbered(number)), std::string::npos) << result.output;
            }
        }
        if (row.numbers.empty() && row.report == Report::None) {
            EXPECT_EQ(result.output, "");
        }
        if (!row.says.empty()) {
            EXPECT_NE(result.output.find(row.says), std::string::npos) << result.output;
        }
        if (row.report != Report::None) {
            const TableAnalysis analysis = ReadTableAnalysis(result.output);
            EXPECT_EQ(analysis.unread, "") << result.output;
            EXPECT_EQ(analysis.inUse, row.report == Report::Approximate);
            EXPECT_EQ(Counts(analysis), Counts(before)) << result.output;
        }
        EXPECT_EQ(DumpFolderFiles(), row.dumpFiles);
        EXPECT_EQ(standin::ReadDatabase(standin::PathFromUtf8(source + ".db")), Source());
        EXPECT_EQ(standin::ReadDatabase(standin::PathFromUtf8(destination + ".db")), Expected(before, row.after));
    }

    // Every call, refused ones too, ran with its own DLC in its own folder.
    const std::string call = "[DLC=" + dlc + "] [" + root.Path() + "]\n";
    std::string calls;
    for (size_t i = 0; i < std::size(kRows); ++i)
        calls += call;
    EXPECT_EQ(ReadTextFile(envLog), calls);
}

// The installation's own folder reaches the program through the
// interpreter and proutil's batch file or script, as the databases' do.
TEST_F(ProutilStandin, RunsFromAnInstallationFolderOfAnyName)
{
    Reset(kRows[0]);
    const std::filesystem::path bin = standin::PathFromUtf8(root.Make("dlc (x86) & cía")) / "bin";
    std::filesystem::create_directories(bin);
    for (const auto& entry : std::filesystem::directory_iterator(standin::PathFromUtf8(StandinFolder())))
        std::filesystem::copy_file(entry.path(), bin / entry.path().filename());
    const std::string log = JoinPath(root.Path(), "llamadas.log");
    const std::string line = QuoteArgument(JoinPath(standin::Utf8FromPath(bin), "proutil")) + " " +
                             QuoteArgument(source + ".db") + " -C dump cliente " + QuoteArgument(dumpFolder);

    const CommandResult result = Run(line, {{"PROUTIL_LOG", log}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadTextFile(log), "[" + source + ".db] [-C] [dump] [cliente] [" + dumpFolder + "]\n");
}

TEST_F(ProutilStandin, PrintsWhereAndHowItIsAsked)
{
    Reset(kRows[0]);
    const std::string dump = Line("SRC.db -C dump cliente VOL");
    EXPECT_EQ(Run(dump + kDropErrors, {{"PROUTIL_STDERR", "1"}}).output, "");
    EXPECT_NE(Run(dump, {{"PROUTIL_CRLF", "1"}}).output.find("(6254)\r\n"), std::string::npos);
    EXPECT_EQ(Run(dump, {}).output.find('\r'), std::string::npos);

    const std::string analysis = Run(Line("SRC.db -C tabanalys"), {{"PROUTIL_WRAP_NAMES", "12"}, {"PROUTIL_CRLF", "1"}}).output;
    EXPECT_NE(analysis.find("\r\naudit.registro\r\n"), std::string::npos) << analysis;
    EXPECT_NE(analysis.find("\r\nPUB.cliente "), std::string::npos) << analysis;
    EXPECT_NE(analysis.find("\r\nPUB._File "), std::string::npos) << analysis;
    EXPECT_EQ(Counts(ReadTableAnalysis(analysis)), Counts(Source()));
}

// A load that stored fewer records than it says shows only in the count of
// the destination's records: what the table analysis is run for.
TEST_F(ProutilStandin, TableAnalysisCountsWhatALoadStored)
{
    const Row loaded{"DST.db -C load VOL/cliente.bd", {}, Before::Loaded, 0, {}, {}, After::Unchanged};
    Reset(loaded);
    const CommandResult load =
        Run(Line(loaded.line), {{"PROUTIL_SHORT_TABLE", "cliente"}, {"PROUTIL_SHORT_RECORDS", "2"}});
    EXPECT_EQ(load.exitCode, 0);
    EXPECT_NE(load.output.find("2 records loaded."), std::string::npos) << load.output;

    const TableAnalysis analysis = ReadTableAnalysis(Run(Line("DST.db -C tabanalys"), {}).output);
    EXPECT_EQ(analysis.tables.at(TableKey("cliente")).records, 2);
}

// A benchmark counts on commands lasting as long as the records they go
// through; only a floor is checked, a loaded machine only adds to it.
TEST_F(ProutilStandin, TakesTimeForEveryRecordGoneThrough)
{
    Reset(kRows[0]);
    Database db = Source();
    db.Find("cliente")->records.assign(20, "1|Ana");
    db.Find("audit.registro")->records.assign(20, "7|alta");
    standin::WriteDatabase(standin::PathFromUtf8(source + ".db"), db);
    const std::pair<const char*, int> commands[] = {{"SRC.db -C dump cliente VOL", 20},
                                                    {"DST.db -C load VOL/cliente.bd", 20},
                                                    {"SRC.db -C idxbuild all", 40},
                                                    {"SRC.db -C tabanalys", 40}};
    for (const auto& [line, records] : commands) {
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = Run(Line(line), {{"PROUTIL_MS_PER_RECORD", "10"}});
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(records * 10))
            << line << "\n" << result.output;
    }
}

// The same for the bytes of those records, at each kind's own rate: each
// command is given its kind's rate alone, so that a rate taken for the
// wrong kind leaves the command short.
TEST_F(ProutilStandin, TakesItsKindsTimeForEveryByteGoneThrough)
{
    Reset(kRows[0]);
    Database db = Source();
    db.Find("cliente")->records.assign(20, std::string(40, 'c'));
    db.Find("audit.registro")->records.assign(20, std::string(160, 'r'));
    standin::WriteDatabase(standin::PathFromUtf8(source + ".db"), db);
    // cliente's records hold 800 bytes, the database's 4,000.
    const std::tuple<const char*, const char*, int> commands[] = {
        {"SRC.db -C dump cliente VOL", "dump:100", 800},
        {"DST.db -C load VOL/cliente.bd", "load:100", 800},
        {"SRC.db -C idxbuild all", "idxbuild:100", 4000},
        {"SRC.db -C tabanalys", "tabanalys:100", 4000}};
    for (const auto& [line, rate, bytes] : commands) {
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = Run(Line(line), {{"PROUTIL_US_PER_BYTE", rate}});
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(bytes * 100))
            << line << "\n" << result.output;
    }
}

}  // namespace
