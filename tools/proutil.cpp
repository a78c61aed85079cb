// A stand-in for Progress's proutil, so Vaciallena can be run and tested
// without a Progress installation. It takes the command lines of the real
// utility, word by word as Progress documents them, and refuses any other
// shape with a "** " message and a non-zero exit code:
//
//   proutil DB -C dump [OWNER.]TABLE DIRECTORY [-index N]
//   proutil DB -C load FILE [build indexes]
//   proutil DB -C idxbuild [all | table [OWNER.]T | area A | schema OWNER |
//                           activeindexes | inactiveindexes]
//   proutil DB -C tabanalys
//
// DB names DB.db, with or without its extension. It works on the text
// databases and dump files of standin_database.h and answers with Progress's
// messages and their numbers. A DB.lk beside the database (file or folder)
// means the database is in use: every function refuses it but tabanalys,
// whose report then begins with the (2486) warning. Its report has a row
// for each table, records or none, after the system table PUB._File, a
// record a table, in the shape PROUTIL_TABANALYS asks for. Without a scope
// idxbuild asks on standard input, as the real utility does, and fails at
// its end. A rebuild that ends follows its (11465) line with a count of its
// errors, "Index rebuild complete. N error(s) encountered.".
//
// Test switches, read from the environment (an empty variable is unset).
// TARGET is a table name, matched as Progress matches names, or * for every
// command, index rebuilds and table analyses included:
//   PROUTIL_LOG=FILE          append each call's arguments to FILE, one line a
//                             call: "[arg1] [arg2] ..."
//   PROUTIL_ENV_LOG=FILE      append one line a call with the DLC variable
//                             and the current folder: "[DLC=VALUE] [FOLDER]",
//                             or "[DLC unset] [FOLDER]"
//   PROUTIL_DELAY_MS=N        sleep N milliseconds before the work: the
//                             fixed cost of every command, whatever its size
//   PROUTIL_MS_PER_RECORD=N   once a command is accepted, sleep besides N
//                             milliseconds for every record it goes through:
//                             the table's for dump, the file's for load, the
//                             whole database's for tabanalys and for idxbuild
//                             (it reads every record for its keys)
//   PROUTIL_US_PER_BYTE=KIND:N[,KIND:N...]  once a command is accepted, sleep
//                             besides N microseconds for every byte of the
//                             records it goes through (the same records as
//                             PROUTIL_MS_PER_RECORD's; a table's bytes are its
//                             Size in the table analysis), at a rate of its
//                             own for each KIND: dump, load, tabanalys,
//                             idxbuild, each named at most once; a kind left
//                             out takes none. E.g. dump:3,load:6,idxbuild:4
//   PROUTIL_HOLD_FILE=FILE    a command that finds FILE as it starts, before
//                             its PROUTIL_LOG line, waits before the work
//                             until FILE is deleted, then makes it again: each
//                             deletion lets one logged command go on, so that
//                             a test sees what a command in progress looks like
//   PROUTIL_FAIL_TABLE=TARGET make dump and load of that table fail with a
//                             "** Simulated failure" message
//   PROUTIL_FAIL_EXIT=N       exit code of the failures of PROUTIL_FAIL_TABLE
//                             and PROUTIL_SILENT_TABLE (default 3; 0 makes
//                             them lie: a failure with exit code 0)
//   PROUTIL_SILENT_TABLE=TARGET  fail that table printing nothing at all
//   PROUTIL_LIE_TABLE=TARGET  do that table's work, print its success
//                             messages and exit with 1
//   PROUTIL_IDXBUILD_ERRORS=N an index rebuild does its work, then counts N
//                             errors in its closing line (default 0) and
//                             exits 0 all the same, as real ones were seen to
//   PROUTIL_CRASH_TABLE=TARGET  end that table's command halfway with the
//                             exit code of a crash on Windows, 0xC0000005
//                             (natively: killed by SIGSEGV)
//   PROUTIL_SHORT_TABLE=TARGET  a load of that table stores
//                             PROUTIL_SHORT_RECORDS fewer records (default 1;
//                             none when it has fewer) and prints what a whole
//                             load prints: only counting the records shows it
//   PROUTIL_IN_USE_WARNING=1  tabanalys begins with the (2486) warning of a
//                             database in use, without a DB.lk
//   PROUTIL_TABANALYS=SHAPE   the shape of the table analysis's report:
//                             one-level (the default): every table in the
//                               one area "Schema Area", then its Subtotals;
//                             9.1: the same area without Subtotals, sizes in
//                               whole bytes (848B);
//                             wrapped: one-level, with every name longer than
//                               PROUTIL_WRAP_NAMES characters (default 12)
//                               alone on its line, as before 10.2B06;
//                             11: each area's rows under RECORD BLOCK SUMMARY
//                               FOR SHARED TABLES with their Subtotals, then
//                               its Summary for AREA and subtotal: PUB._File
//                               in "Schema Area", the tables in "Datos", the
//                               first with two records or more as partition
//                               rows (one a long composite name alone on its
//                               line), an empty area "Indices", a LOB summary
//                               that counts LOBs, not records, and Totals
//   PROUTIL_WRAP_NAMES=N      tabanalys prints a name longer than N characters
//                             alone on its line, its numbers on the next, as
//                             versions before 10.2B06 do, in any shape
//   PROUTIL_DAMAGED_TABLE=TARGET  a dump of that table leaves out the last
//                             PROUTIL_DAMAGED_RECORDS records (default 1),
//                             prints a (9200) error for each, and still
//                             prints "Dumped N records. (13932)" with the
//                             records it wrote and its success number, as a
//                             dump of a damaged table does
//   PROUTIL_STDERR=1          print on standard error instead of standard output
//   PROUTIL_CRLF=1            end the lines printed with CR LF instead of LF
//   PROUTIL_LOST_OUTPUT_LOG=FILE  append one line a call whose standard output
//                             is not what it was given (Windows only; see
//                             NoteLostOutput)

#include "standin_database.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace standin;

namespace {

const int kExitError = 2;
const int kExitLie = 1;

#ifdef _WIN32
std::string Utf8FromWide(const wchar_t* wide)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the size counted the terminating zero
    return utf8;
}
#endif

std::optional<std::string> Variable(const char* name)
{
#ifdef _WIN32
    std::wstring wide_name(name, name + std::strlen(name));  // our names are ASCII
    const wchar_t* value = _wgetenv(wide_name.c_str());
    if (!value)
        return std::nullopt;
    return Utf8FromWide(value);
#else
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
#endif
}

std::string GetEnv(const char* name)
{
    return Variable(name).value_or("");
}

bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && stop == end;
}

// Progress names ignore letter case; its keywords are taken the same way.
bool SameWord(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

bool AppendLine(const std::string& file, const std::string& line)
{
    std::ofstream out(PathFromUtf8(file), std::ios::binary | std::ios::app);
    out << line << "\n";
    out.close();
    return !out.fail();
}

std::string Bracketed(const std::vector<std::string>& words)
{
    std::string line;
    for (size_t i = 0; i < words.size(); ++i)
        line += (i ? " [" : "[") + words[i] + "]";
    return line;
}

std::string Now()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[64];
    std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &local);
    return text;
}

[[noreturn]] void Crash()
{
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 0xC0000005);
#else
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
#endif
    std::abort();
}

enum class Function { Dump, Load, IndexBuild, TableAnalysis };
// Each function's name in PROUTIL_US_PER_BYTE, in the order above.
constexpr size_t kKinds = 4;
constexpr const char* kKindNames[kKinds] = {"dump", "load", "idxbuild", "tabanalys"};

// A command line taken apart word by word.
struct Request {
    std::string database;  // as given, DB or DB.db
    Function function = Function::Dump;
    std::string table;     // dump; idxbuild table
    std::string folder;    // dump
    std::string file;      // load
    bool buildIndexes = false;  // load
    std::string scope;     // idxbuild: empty for the menu, else its first word
    std::string scopeArgument;  // idxbuild table, area, schema
};

#ifdef _WIN32
// Under load Wine now and then starts the interpreter without its hidden
// console; a console program the interpreter starts then gets a console of its
// own, alone on it, in place of the standard output it inherited, and all it
// prints is lost although it succeeds. Real Windows gives the interpreter its
// console or fails to start it. The test runs ask to be told, to tell this
// fault of Wine's from a fault of the program's.
bool NoteLostOutput()
{
    const std::string log = GetEnv("PROUTIL_LOST_OUTPUT_LOG");
    if (log.empty())
        return true;
    DWORD processes[2];
    const bool lost = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR &&
                      GetConsoleProcessList(processes, 2) == 1;
    return !lost || AppendLine(log, "standard output replaced by a console of its own");
}
#endif

class Proutil {
  public:
    int Run(const std::vector<std::string>& args)
    {
        toStderr_ = GetEnv("PROUTIL_STDERR") == "1";
        lineEnd_ = GetEnv("PROUTIL_CRLF") == "1" ? "\r\n" : "\n";

        // Looked for before the call is logged: a test lets a command go on
        // once it has seen its line, and the command must wait for that.
        const std::string hold = GetEnv("PROUTIL_HOLD_FILE");
        const bool held = !hold.empty() && Present(PathFromUtf8(hold));

        std::string log = GetEnv("PROUTIL_LOG");
        if (!log.empty() && !AppendLine(log, Bracketed(args)))
            return Fail("Cannot append to the log file " + log + ".", 9998);
#ifdef _WIN32
        if (!NoteLostOutput())
            return Fail("Cannot append to PROUTIL_LOST_OUTPUT_LOG.", 9998);
#endif
        std::string envLog = GetEnv("PROUTIL_ENV_LOG");
        if (!envLog.empty()) {
            std::optional<std::string> dlc = Variable("DLC");
            std::string folder = Utf8FromPath(fs::current_path());
            if (!AppendLine(envLog, Bracketed({dlc ? "DLC=" + *dlc : "DLC unset", folder})))
                return Fail("Cannot append to the log file " + envLog + ".", 9998);
        }

        if (held && !WaitUntilLetGo(PathFromUtf8(hold)))
            return Fail("Cannot make the hold file " + hold + " again.", 9998);

        if (std::optional<int> refused = TakeFixedCost())
            return *refused;
        std::string failExit = GetEnv("PROUTIL_FAIL_EXIT");
        if (!failExit.empty() && !ParseInt(failExit, failExit_))
            return Fail("PROUTIL_FAIL_EXIT is not a number.", 9998);
        std::string shortBy = GetEnv("PROUTIL_SHORT_RECORDS");
        if (!shortBy.empty() && (!ParseInt(shortBy, shortBy_) || shortBy_ < 0))
            return Fail("PROUTIL_SHORT_RECORDS is not a number of records.", 9998);
        std::string wrap = GetEnv("PROUTIL_WRAP_NAMES");
        int width = 0;
        if (!wrap.empty() && (!ParseInt(wrap, width) || width < 0))
            return Fail("PROUTIL_WRAP_NAMES is not a number of characters.", 9998);
        if (!wrap.empty())
            wrapBeyond_ = static_cast<size_t>(width);
        if (std::optional<int> refused = ReadShape())
            return *refused;
        std::string rebuildErrors = GetEnv("PROUTIL_IDXBUILD_ERRORS");
        if (!rebuildErrors.empty() && (!ParseInt(rebuildErrors, rebuildErrors_) || rebuildErrors_ < 0))
            return Fail("PROUTIL_IDXBUILD_ERRORS is not a number of errors.", 9998);
        if (std::optional<int> refused = ReadRates())
            return *refused;

        std::optional<Request> request = Parse(args);
        if (!request)
            return kExitError;
        return Open(*request);
    }

  private:
    // PROUTIL_DELAY_MS, what every command costs before it looks at its
    // work.
    std::optional<int> TakeFixedCost()
    {
        const std::string delay = GetEnv("PROUTIL_DELAY_MS");
        if (delay.empty())
            return std::nullopt;
        int ms = 0;
        if (!ParseInt(delay, ms) || ms < 0)
            return Fail("PROUTIL_DELAY_MS is not a number of milliseconds.", 9998);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return std::nullopt;
    }

    // PROUTIL_TABANALYS and the damage of PROUTIL_DAMAGED_TABLE; a value
    // that is none of theirs is refused.
    std::optional<int> ReadShape()
    {
        const std::string shape = GetEnv("PROUTIL_TABANALYS");
        if (shape == "9.1")
            shape_ = Shape::Release91;
        else if (shape == "wrapped")
            shape_ = Shape::Wrapped;
        else if (shape == "11")
            shape_ = Shape::Nested;
        else if (!shape.empty() && shape != "one-level")
            return Fail("PROUTIL_TABANALYS is not one-level, 9.1, wrapped or 11.", 9998);
        if (shape_ == Shape::Wrapped && !wrapBeyond_)
            wrapBeyond_ = 12;
        const std::string damaged = GetEnv("PROUTIL_DAMAGED_RECORDS");
        if (!damaged.empty() && (!ParseInt(damaged, damaged_) || damaged_ < 0))
            return Fail("PROUTIL_DAMAGED_RECORDS is not a number of records.", 9998);
        return std::nullopt;
    }

    // PROUTIL_MS_PER_RECORD and PROUTIL_US_PER_BYTE; a value that is no
    // rate is refused.
    std::optional<int> ReadRates()
    {
        const std::string perRecord = GetEnv("PROUTIL_MS_PER_RECORD");
        if (!perRecord.empty() && (!ParseInt(perRecord, msPerRecord_) || msPerRecord_ < 0))
            return Fail("PROUTIL_MS_PER_RECORD is not a number of milliseconds.", 9998);
        const std::string perByte = GetEnv("PROUTIL_US_PER_BYTE");
        if (!perByte.empty() && !ReadByteRates(perByte))
            return Fail("PROUTIL_US_PER_BYTE is not KIND:N[,KIND:N...], each of dump, load, tabanalys and "
                        "idxbuild at most once, N microseconds.",
                        9998);
        return std::nullopt;
    }

    // A kind named twice is refused rather than one of its rates kept: a
    // test that meant both would time something else than it thinks.
    bool ReadByteRates(const std::string& text)
    {
        std::array<bool, kKinds> named{};
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find(',', start), text.size());
            const std::string entry = text.substr(start, end - start);
            const size_t colon = entry.find(':');
            const std::optional<size_t> kind =
                colon == std::string::npos ? std::nullopt : KindNamed(entry.substr(0, colon));
            int rate = 0;
            if (!kind || named[*kind] || !ParseInt(entry.substr(colon + 1), rate) || rate < 0)
                return false;
            named[*kind] = true;
            usPerByte_[*kind] = rate;
            start = end + 1;
        }
        return true;
    }

    static std::optional<size_t> KindNamed(const std::string& word)
    {
        for (size_t kind = 0; kind < kKinds; ++kind)
            if (SameWord(word, kKindNames[kind]))
                return kind;
        return std::nullopt;
    }

    static bool Present(const fs::path& file)
    {
        // Windows refuses to look at a file being deleted: that one is still there.
        std::error_code error;
        return fs::exists(file, error) || error;
    }

    static bool WaitUntilLetGo(const fs::path& holdFile)
    {
        while (Present(holdFile))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ofstream next(holdFile);
        return next.good();
    }

    // The records a command goes through, and their bytes.
    struct Work {
        size_t records = 0;
        size_t bytes = 0;
    };

    static Work WorkOf(const std::vector<std::string>& records)
    {
        Work work{records.size(), 0};
        for (const std::string& record : records)
            work.bytes += record.size();
        return work;
    }

    static Work WorkOf(const Database& db)
    {
        Work work;
        for (const Table& table : db.tables) {
            const Work tables = WorkOf(table.records);
            work.records += tables.records;
            work.bytes += tables.bytes;
        }
        return work;
    }

    // Holds nothing open meanwhile, so that commands on other databases go
    // on alongside, as the real utility's do. Waits for a deadline rather
    // than trusting one sleep, which may wake early: callers time the
    // command and count on it lasting at least this long.
    void WorkThrough(Function kind, const Work& work) const
    {
        const auto done =
            std::chrono::steady_clock::now() +
            std::chrono::milliseconds(static_cast<long long>(work.records) * msPerRecord_) +
            std::chrono::microseconds(static_cast<long long>(work.bytes) * usPerByte_[static_cast<size_t>(kind)]);
        while (std::chrono::steady_clock::now() < done)
            std::this_thread::sleep_until(done);
    }

    void Print(const std::string& text)
    {
        (toStderr_ ? std::cerr : std::cout) << text << std::flush;
    }

    void Line(const std::string& text) { Print(text + lineEnd_); }

    int Fail(const std::string& text, int number, int exitCode = kExitError)
    {
        Line("** " + text + " (" + std::to_string(number) + ")");
        return exitCode;
    }

    int Usage()
    {
        return Fail("Usage: proutil DB -C dump [owner.]table DIRECTORY [-index N] | load FILE [build indexes] | "
                    "idxbuild [all | table T | area A | schema S | activeindexes | inactiveindexes] | tabanalys.",
                    1403);
    }

    // Refuses with a message any line that is not one of the documented ones.
    std::optional<Request> Parse(const std::vector<std::string>& args)
    {
        if (args.size() < 3 || args[1] != "-C") {
            Usage();
            return std::nullopt;
        }
        Request request;
        request.database = args[0];
        const std::string& function = args[2];
        size_t used = 3;
        if (SameWord(function, "dump")) {
            request.function = Function::Dump;
            if (args.size() < 5) {
                Usage();
                return std::nullopt;
            }
            request.table = args[3];
            request.folder = args[4];
            used = 5;
            int index = 0;
            if (args.size() >= 7 && SameWord(args[5], "-index") && ParseInt(args[6], index))
                used = 7;
        } else if (SameWord(function, "load")) {
            request.function = Function::Load;
            if (args.size() < 4) {
                Usage();
                return std::nullopt;
            }
            request.file = args[3];
            used = 4;
            if (args.size() >= 6 && SameWord(args[4], "build") && SameWord(args[5], "indexes")) {
                request.buildIndexes = true;
                used = 6;
            }
        } else if (SameWord(function, "idxbuild")) {
            request.function = Function::IndexBuild;
            if (args.size() > 3) {
                used = 4;
                for (const char* scope : {"all", "activeindexes", "inactiveindexes", "table", "area", "schema"})
                    if (SameWord(args[3], scope))
                        request.scope = scope;
                bool named = request.scope == "table" || request.scope == "area" || request.scope == "schema";
                if (request.scope.empty() || (named && args.size() < 5)) {
                    Usage();
                    return std::nullopt;
                }
                if (named) {
                    request.scopeArgument = args[4];
                    used = 5;
                }
            }
        } else if (SameWord(function, "tabanalys")) {
            request.function = Function::TableAnalysis;
        } else {
            Fail("Unknown function " + function + " for -C.", 1404);
            return std::nullopt;
        }
        if (used < args.size()) {
            Fail(args[used] + " is not a valid parameter of -C " + function + ".", 1405);
            return std::nullopt;
        }
        return request;
    }

    int Open(const Request& request)
    {
        fs::path dbPath = PathFromUtf8(request.database);
        if (!SameWord(Utf8FromPath(dbPath.extension()), ".db"))
            dbPath += ".db";
        fs::path named = dbPath;
        std::string shown = Utf8FromPath(named.replace_extension());
        if (!fs::is_regular_file(dbPath))
            return Fail("The database " + shown + " does not exist.", 43);
        fs::path lockPath = dbPath;
        lockPath.replace_extension(".lk");
        const bool inUse = fs::exists(lockPath);
        if (inUse && request.function != Function::TableAnalysis)
            return Fail("The database " + shown + " is in use in single-user mode.", 263);

        Database db;
        try {
            db = ReadDatabase(dbPath);
        } catch (const std::exception& e) {
            return Fail("Cannot read the database: " + std::string(e.what()) + ".", 1010);
        }
        switch (request.function) {
        case Function::Dump:
            return Dump(db, Utf8FromPath(dbPath.stem()), request);
        case Function::Load:
            return Load(db, dbPath, request);
        case Function::IndexBuild:
            return IndexBuild(db, dbPath, request);
        case Function::TableAnalysis:
            return TableAnalysis(db, inUse);
        }
        return kExitError;
    }

    static bool Targets(const std::string& target, const std::string& table)
    {
        return !target.empty() && (target == "*" || (!table.empty() && SameTable(target, table)));
    }

    // The failure the switches ask for this table's command, if any, before
    // it prints anything of its own. An index rebuild has no table.
    std::optional<int> Fault(const std::string& table)
    {
        if (Targets(GetEnv("PROUTIL_FAIL_TABLE"), table))
            return Fail("Simulated failure for table " + table + ".", 9999, failExit_);
        if (Targets(GetEnv("PROUTIL_SILENT_TABLE"), table))
            return failExit_;
        return std::nullopt;
    }

    void CrashIfAsked(const std::string& table)
    {
        if (Targets(GetEnv("PROUTIL_CRASH_TABLE"), table))
            Crash();
    }

    int Succeed(const std::string& table, const std::string& text)
    {
        Line(text);
        return Outcome(table);
    }

    static int Outcome(const std::string& table)
    {
        return Targets(GetEnv("PROUTIL_LIE_TABLE"), table) ? kExitLie : 0;
    }

    bool Save(const Database& db, const fs::path& dbPath)
    {
        try {
            WriteDatabase(dbPath, db);
            return true;
        } catch (const std::exception& e) {
            Fail("Cannot write the database: " + std::string(e.what()) + ".", 1011);
            return false;
        }
    }

    int Dump(const Database& db, const std::string& dbName, const Request& request)
    {
        const Table* table = db.Find(request.table);
        if (!table)
            return Fail("Table " + request.table + " was not found in the database.", 6252);
        if (std::optional<int> fault = Fault(request.table))
            return *fault;
        fs::path dir = PathFromUtf8(request.folder);
        if (!fs::is_directory(dir))
            return Fail("The dump folder " + request.folder + " does not exist.", 6253);
        CrashIfAsked(request.table);
        WorkThrough(Function::Dump, WorkOf(table->records));
        DumpFile dump{dbName, Now(), static_cast<int>(table - db.tables.data()) + 1, Definition(*table), *table};
        if (Targets(GetEnv("PROUTIL_DAMAGED_TABLE"), request.table)) {
            const size_t left = std::min(dump.table.records.size(), static_cast<size_t>(damaged_));
            for (size_t i = dump.table.records.size() - left; i < dump.table.records.size(); ++i)
                Line("** Record " + std::to_string(i + 1) + " of table " + request.table +
                     " is damaged and was not dumped. (9200)");
            dump.table.records.resize(dump.table.records.size() - left);
        }
        try {
            WriteDumpFile(dir / PathFromUtf8(DumpFileName(request.table)), dump);
        } catch (const std::exception& e) {
            return Fail("Cannot write the dump file: " + std::string(e.what()) + ".", 6255);
        }
        Line("Dumped " + std::to_string(dump.table.records.size()) + " records. (13932)");
        return Succeed(request.table, "Binary Dump complete. (6254)");
    }

    // Like a real binary load, this adds to what the table already holds and
    // leaves its indexes to be rebuilt, unless asked to build them.
    int Load(Database& db, const fs::path& dbPath, const Request& request)
    {
        fs::path path = PathFromUtf8(request.file);
        if (!fs::is_regular_file(path))
            return Fail("Cannot find the load file " + request.file + ".", 6257);
        DumpFile dump;
        try {
            dump = ReadDumpFile(path);
        } catch (const std::exception& e) {
            return Fail("The load file is not valid: " + std::string(e.what()) + ".", 6258);
        }
        const std::string& name = dump.table.name;
        if (std::optional<int> fault = Fault(name))
            return *fault;
        Line("Binary Dump created on " + dump.created);
        Line("from database " + dump.database + ". (6203)");
        Table* table = db.Find(name);
        if (!table)
            return Fail("Table " + name + " was not found in the database.", 6252);
        if (dump.definition != Definition(*table))
            return Fail("The definition of table " + name + " in the database differs from the one in the load file.", 6209);
        Line("Loading table " + name + ", Table number " + std::to_string(dump.tableNumber));
        Line("starting with record 1, section 1. (6204)");
        CrashIfAsked(name);
        WorkThrough(Function::Load, WorkOf(dump.table.records));

        const std::vector<std::string>& loaded = dump.table.records;
        const size_t lost = Targets(GetEnv("PROUTIL_SHORT_TABLE"), name)
                                ? std::min(loaded.size(), static_cast<size_t>(shortBy_))
                                : 0;
        table->records.insert(table->records.end(), loaded.begin(), loaded.end() - static_cast<std::ptrdiff_t>(lost));
        for (Index& index : table->indexes)
            index.active = request.buildIndexes;
        if (!Save(db, dbPath))
            return kExitError;
        Line(std::to_string(dump.table.records.size()) + " records loaded.");
        return Succeed(name, "Binary Load complete. (6256)");
    }

    // Without a scope the real utility shows a menu and asks. A caller that
    // forgets the scope must see a failure, not a process waiting for ever.
    std::optional<int> AskForAll()
    {
        Line("Index Rebuild Utility");
        Line("=====================");
        Line("");
        Line("Select one of the following:");
        Line("All        (a/A) - Rebuild all the indexes");
        Line("Quit       (q/Q) - Quit, do not rebuild");
        Line("");
        Print("Enter your selection: ");
        std::string answer;
        if (!Answer(answer))
            return Fail("End of input reached, no index was rebuilt.", 11466);
        if (answer == "q" || answer == "Q")
            return Fail("Index rebuild quit, no index was rebuilt.", 11468);
        if (answer != "a" && answer != "A")
            return Fail("Invalid selection " + answer + ", no index was rebuilt.", 11467);
        Print("Do you have enough disk space for index sorting? (y/n) ");
        if (!Answer(answer))
            return Fail("End of input reached, no index was rebuilt.", 11466);
        return std::nullopt;
    }

    bool Answer(std::string& answer)
    {
        bool answered = static_cast<bool>(std::getline(std::cin, answer));
        Line("");  // a piped answer is not echoed
        if (!answer.empty() && answer.back() == '\r')
            answer.pop_back();
        return answered;
    }

    static bool InScope(const Request& request, const Table& table, const Index& index)
    {
        if (request.scope == "table")
            return SameTable(table.name, request.scopeArgument);
        if (request.scope == "schema")
            return OwnedBy(table.name, request.scopeArgument);
        if (request.scope == "activeindexes")
            return index.active;
        if (request.scope == "inactiveindexes")
            return !index.active;
        return true;
    }

    int IndexBuild(Database& db, const fs::path& dbPath, const Request& request)
    {
        if (std::optional<int> fault = Fault(""))
            return *fault;
        if (request.scope.empty()) {
            if (std::optional<int> refused = AskForAll())
                return *refused;
        } else if (request.scope == "table" && !db.Find(request.scopeArgument)) {
            return Fail("Table " + request.scopeArgument + " was not found in the database.", 6252);
        } else if (request.scope == "area" && !SameWord(request.scopeArgument, "schema area")) {
            return Fail("Area " + request.scopeArgument + " was not found in the database.", 11470);
        }
        int count = 0;
        for (Table& table : db.tables) {
            for (Index& index : table.indexes) {
                if (InScope(request, table, index)) {
                    index.active = true;
                    ++count;
                }
            }
        }
        CrashIfAsked("");
        WorkThrough(Function::IndexBuild, WorkOf(db));
        if (!Save(db, dbPath))
            return kExitError;
        Line(std::to_string(count) + " indexes were rebuilt. (11465)");
        return Succeed("", "Index rebuild complete. " + std::to_string(rebuildErrors_) + " error(s) encountered.");
    }

    static std::string Padded(const std::string& name)
    {
        return name.size() < kNameWidth ? name + std::string(kNameWidth - name.size(), ' ') : name + " ";
    }

    static std::string Columns(const std::array<std::string, 8>& words)
    {
        char text[128];
        std::snprintf(text, sizeof text, "%8s %8s %5s %5s %5s %11s %6s %7s", words[0].c_str(), words[1].c_str(),
                      words[2].c_str(), words[3].c_str(), words[4].c_str(), words[5].c_str(), words[6].c_str(),
                      words[7].c_str());
        return text;
    }

    // Records, their size, smallest, largest and mean; every record is one
    // fragment, and stored in order.
    std::string RowNumbers(const std::vector<std::string>& records) const
    {
        size_t bytes = 0;
        size_t smallest = records.empty() ? 0 : SIZE_MAX;
        size_t largest = 0;
        for (const std::string& record : records) {
            bytes += record.size();
            smallest = std::min(smallest, record.size());
            largest = std::max(largest, record.size());
        }
        const std::string count = std::to_string(records.size());
        const std::string factor = records.empty() ? "0.0" : "1.0";
        const std::string size = shape_ == Shape::Release91 ? std::to_string(bytes) + "B" : AnalysisSize(bytes);
        return Columns({count, size, std::to_string(smallest), std::to_string(largest),
                        std::to_string(records.empty() ? 0 : bytes / records.size()), count, factor, factor});
    }

    // A row of the report: a table, or one partition of a table.
    struct Row {
        std::string name;
        std::vector<std::string> records;
        bool alone = false;  // its name alone on its line, whatever its length
    };

    void TableRow(const Row& row)
    {
        if (row.alone || (wrapBeyond_ && row.name.size() > *wrapBeyond_)) {
            Line(row.name);
            Line(std::string(kNameWidth, ' ') + RowNumbers(row.records));
        } else {
            Line(Padded(row.name) + RowNumbers(row.records));
        }
    }

    void ColumnHeaders()
    {
        char header[128];
        std::snprintf(header, sizeof header, "%*s%17s %18s %7s", static_cast<int>(kNameWidth + 18), "",
                      "-Record Size (B)-", "---Fragments---", "Scatter");
        Line(header);
        Line(Padded("Table") + Columns({"Records", "Size", "Min", "Max", "Mean", "Count", "Factor", "Factor"}));
    }

    void Rule() { Line(std::string(kNameWidth, ' ') + std::string(RowNumbers({}).size(), '-')); }

    static std::vector<std::string> RecordsOf(const std::vector<Row>& rows)
    {
        std::vector<std::string> records;
        for (const Row& row : rows)
            records.insert(records.end(), row.records.begin(), row.records.end());
        return records;
    }

    // The one area of the shapes before 11.x; its subtotal, where it has
    // one, is the output's last line.
    void OneArea(const std::vector<Row>& rows)
    {
        Line("RECORD BLOCK SUMMARY FOR AREA \"Schema Area\" : 6");
        if (shape_ == Shape::Release91)
            Line(std::string(55, '-'));
        ColumnHeaders();
        for (const Row& row : rows)
            TableRow(row);
        CrashIfAsked("");
        if (shape_ != Shape::Release91) {
            Rule();
            Line(Padded("Subtotals:") + RowNumbers(RecordsOf(rows)));
        }
    }

    void NestedArea(const std::string& area, const std::vector<Row>& rows)
    {
        Line(area);
        Line(std::string(55, '-'));
        Line("");
        if (!rows.empty()) {
            Line("RECORD BLOCK SUMMARY FOR SHARED TABLES");
            Line(std::string(44, '-'));
            Line("");
            ColumnHeaders();
            for (const Row& row : rows)
                TableRow(row);
            Line("");
            Rule();
            Line(Padded("Subtotals:") + RowNumbers(RecordsOf(rows)));
            Line("");
        }
        Rule();
        Line("Summary for" + area.substr(area.find(" AREA")));
        Line(Padded("Subtotals:") + RowNumbers(RecordsOf(rows)));
        Line("");
    }

    // LOBs of a table, which a reader must not take for its records.
    void LobSummary(const Row& table)
    {
        Line("LOB SUMMARY FOR AREA \"Datos\": 7");
        Line("LOB SUMMARY FOR SHARED TABLES:");
        Line("                         --- LOB Size ---");
        Line("Table                   LOBs    Size    Min    Max   Mean");
        Line(table.name + ":1");
        const std::string lobs = std::to_string(table.records.size() * 3 + 1);
        Line("   notas:5           " + lobs + "    4.0K   10.0B  1.0K  300.0B");
        Line(Padded("Subtotals:") + lobs + "    4.0K   10.0B  1.0K  300.0B");
        Line("");
    }

    // The tables in an area of their own, the first with two records or
    // more as two partitions.
    void Nested(const Row& system, const std::vector<Row>& tables)
    {
        NestedArea("RECORD BLOCK SUMMARY FOR AREA \"Schema Area\": 6", {system});
        std::vector<Row> rows;
        bool partitioned = false;
        for (const Row& table : tables) {
            if (partitioned || table.records.size() < 2) {
                rows.push_back(table);
                continue;
            }
            partitioned = true;
            const auto half = table.records.begin() + static_cast<std::ptrdiff_t>(table.records.size() / 2);
            rows.push_back({table.name + ".Initial(Composite)", {table.records.begin(), half}, true});
            rows.push_back({table.name + ".p1", {half, table.records.end()}});
        }
        NestedArea("RECORD BLOCK SUMMARY FOR AREA \"Datos\": 7", rows);
        NestedArea("RECORD BLOCK SUMMARY FOR AREA \"Indices\": 8", {});
        if (!tables.empty())
            LobSummary(tables.front());
        CrashIfAsked("");
        rows.push_back(system);
        Line(Padded("Totals:") + RowNumbers(RecordsOf(rows)));
    }

    int TableAnalysis(const Database& db, bool inUse)
    {
        if (std::optional<int> fault = Fault(""))
            return *fault;
        WorkThrough(Function::TableAnalysis, WorkOf(db));
        if (inUse || GetEnv("PROUTIL_IN_USE_WARNING") == "1")
            Line("[Warning] database in use - reported statistics are approximations. (2486)");
        Line("");
        Row system{"PUB._File", {}};
        std::vector<Row> tables;
        for (const Table& table : db.tables) {
            system.records.push_back(table.name);
            tables.push_back({table.name.find('.') == std::string::npos ? "PUB." + table.name : table.name,
                              table.records});
        }
        if (shape_ == Shape::Nested) {
            Nested(system, tables);
        } else {
            tables.insert(tables.begin(), system);
            OneArea(tables);
        }
        return Outcome("");
    }

    static constexpr size_t kNameWidth = 20;

    bool toStderr_ = false;
    std::string lineEnd_ = "\n";
    int failExit_ = 3;
    int shortBy_ = 1;
    int rebuildErrors_ = 0;
    int msPerRecord_ = 0;
    std::array<int, kKinds> usPerByte_{};  // by Function
    std::optional<size_t> wrapBeyond_;  // names longer than this are printed alone
    enum class Shape { OneLevel, Release91, Wrapped, Nested } shape_ = Shape::OneLevel;
    int damaged_ = 1;
};

int Main(const std::vector<std::string>& args)
{
#ifdef _WIN32
    // Line ends are the utility's own choice, not the C runtime's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    Proutil proutil;
    try {
        return proutil.Run(args);
    } catch (const std::exception& e) {
        std::cout << "** " << e.what() << ". (9997)\n" << std::flush;
        return kExitError;
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8FromWide(argv[i]));
    return Main(args);
}
#else
int main(int argc, char** argv)
{
    return Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
