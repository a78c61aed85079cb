// A stand-in for Progress's proutil, so Vaciallena can be run and tested
// without a Progress installation. It knows just enough of binary dump,
// binary load and index rebuild, working on the text databases of
// standin_database.h, and answers with Progress-style messages.
//
// Test hooks, read from the environment:
//   PROUTIL_LOG=FILE          append the arguments to FILE, one line a run
//   PROUTIL_DELAY_MS=N        sleep N milliseconds before the work
//   PROUTIL_FAIL_TABLE=NAME   make dump and load of table NAME fail
//   PROUTIL_FAIL_EXIT=N       exit code of that failure (default 3)

#include "standin_database.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace standin;

namespace {

const int kExitError = 2;

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

// An empty variable counts as unset.
std::string GetEnv(const char* name)
{
#ifdef _WIN32
    std::wstring wide_name(name, name + std::strlen(name));  // our names are ASCII
    const wchar_t* value = _wgetenv(wide_name.c_str());
    return value ? Utf8FromWide(value) : std::string();
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && stop == end;
}

// Progress reports errors on standard output, so callers must read it.
int Fail(const std::string& text, int number, int exit_code = kExitError)
{
    std::cout << "** " << text << " (" << number << ")\n" << std::flush;
    return exit_code;
}

int Usage()
{
    return Fail("Usage: proutil DB.db -C dump TABLE FOLDER | load TABLE FILE | idxbuild [all].", 1403);
}

bool AppendLog(const std::string& log, const std::vector<std::string>& args)
{
    std::string line;
    for (size_t i = 0; i < args.size(); ++i)
        line += (i ? " [" : "[") + args[i] + "]";
    line += "\n";
    std::ofstream out(PathFromUtf8(log), std::ios::binary | std::ios::app);
    out << line;
    out.close();
    return !out.fail();
}

int Save(const Database& db, const fs::path& db_path, const std::string& done)
{
    try {
        WriteDatabase(db_path, db);
    } catch (const std::exception& e) {
        return Fail("Cannot write the database: " + std::string(e.what()) + ".", 1011);
    }
    std::cout << done << "\n" << std::flush;
    return 0;
}

int Dump(const Database& db, const std::string& table_name, const std::string& folder)
{
    const Table* table = db.Find(table_name);
    if (!table)
        return Fail("Table " + table_name + " was not found in the database.", 6252);
    fs::path dir = PathFromUtf8(folder);
    if (!fs::is_directory(dir))
        return Fail("The dump folder " + folder + " does not exist.", 6253);
    try {
        WriteDumpFile(dir / PathFromUtf8(table_name + ".bd"), *table);
    } catch (const std::exception& e) {
        return Fail("Cannot write the dump file: " + std::string(e.what()) + ".", 6255);
    }
    std::cout << "Binary Dump complete. (6254)\n" << std::flush;
    return 0;
}

// Like a real binary load, this adds to what the table already holds and
// leaves its indexes to be rebuilt.
int Load(Database& db, const fs::path& db_path, const std::string& table_name,
         const std::string& file)
{
    Table* table = db.Find(table_name);
    if (!table)
        return Fail("Table " + table_name + " was not found in the database.", 6252);
    fs::path path = PathFromUtf8(file);
    if (!fs::is_regular_file(path))
        return Fail("Cannot find the load file " + file + ".", 6257);
    Table loaded;
    try {
        loaded = ReadDumpFile(path);
    } catch (const std::exception& e) {
        return Fail("The load file is not valid: " + std::string(e.what()) + ".", 6258);
    }
    if (loaded.name != table_name)
        return Fail("The load file " + file + " holds table " + loaded.name + ", not " +
                    table_name + ".", 6259);
    table->records.insert(table->records.end(), loaded.records.begin(), loaded.records.end());
    for (Index& index : table->indexes)
        index.active = false;
    return Save(db, db_path, "Binary Load complete. (6256)");
}

// Without "all" the real utility asks interactively. A caller that forgets
// the argument must see a failure, not a process waiting for ever.
int IndexBuild(Database& db, const fs::path& db_path, bool all)
{
    if (!all) {
        std::cout << "Index Rebuild Utility\n"
                     "=====================\n\n"
                     "Select one of the following:\n"
                     "All        (a/A) - Rebuild all the indexes\n\n"
                     "Enter your selection: " << std::flush;
        std::string answer;
        bool answered = static_cast<bool>(std::getline(std::cin, answer));
        std::cout << "\n";  // a piped answer is not echoed
        if (!answered)
            return Fail("End of input reached, no index was rebuilt.", 11466);
        if (!answer.empty() && answer.back() == '\r')
            answer.pop_back();
        if (answer != "a" && answer != "A" && answer != "all" && answer != "ALL")
            return Fail("Invalid selection " + answer + ", no index was rebuilt.", 11467);
    }
    int count = 0;
    for (Table& table : db.tables) {
        for (Index& index : table.indexes) {
            index.active = true;
            ++count;
        }
    }
    return Save(db, db_path, std::to_string(count) + " indexes were rebuilt. (11465)");
}

int Run(const std::vector<std::string>& args)
{
    std::string log = GetEnv("PROUTIL_LOG");
    if (!log.empty() && !AppendLog(log, args))
        return Fail("Cannot append to the log file " + log + ".", 9998);

    std::string delay = GetEnv("PROUTIL_DELAY_MS");
    if (!delay.empty()) {
        int ms = 0;
        if (!ParseInt(delay, ms) || ms < 0)
            return Fail("PROUTIL_DELAY_MS is not a number of milliseconds.", 9998);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    if (args.size() < 3 || args[1] != "-C")
        return Usage();
    const std::string& function = args[2];
    bool transfer = function == "dump" || function == "load";
    if (transfer) {
        if (args.size() != 5)
            return Usage();
    } else if (function == "idxbuild") {
        if (args.size() > 4 || (args.size() == 4 && args[3] != "all"))
            return Usage();
    } else {
        return Fail("Unknown function " + function + " for -C.", 1404);
    }

    std::string fail_table = GetEnv("PROUTIL_FAIL_TABLE");
    if (transfer && !fail_table.empty() && args[3] == fail_table) {
        int exit_code = 3;
        std::string text = GetEnv("PROUTIL_FAIL_EXIT");
        if (!text.empty() && !ParseInt(text, exit_code))
            return Fail("PROUTIL_FAIL_EXIT is not a number.", 9998);
        return Fail("Simulated failure for table " + args[3] + ".", 9999, exit_code);
    }

    fs::path db_path = PathFromUtf8(args[0]);
    std::string db_name = Utf8FromPath(db_path.stem());
    if (!fs::is_regular_file(db_path))
        return Fail("The database " + db_name + " does not exist.", 43);
    fs::path lock_path = db_path;
    lock_path.replace_extension(".lk");
    if (fs::exists(lock_path))
        return Fail("The database " + db_name + " is in use.", 263);

    Database db;
    try {
        db = ReadDatabase(db_path);
    } catch (const std::exception& e) {
        return Fail("Cannot read the database: " + std::string(e.what()) + ".", 1010);
    }

    if (function == "dump")
        return Dump(db, args[3], args[4]);
    if (function == "load")
        return Load(db, db_path, args[3], args[4]);
    return IndexBuild(db, db_path, args.size() == 4);
}

int Main(const std::vector<std::string>& args)
{
    try {
        return Run(args);
    } catch (const std::exception& e) {
        return Fail(std::string(e.what()) + ".", 9997);
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
