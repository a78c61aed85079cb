// What starting the command interpreter once per table costs the engine
// compared with a plain script that starts it the same way, and whether the
// engine sleeps or spins while a slow proutil runs.
//
//   dispatch_bench [ROUNDS]    ROUNDS engine/script pairs, 3 by default

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "command_line.h"
#include "engine.h"
#include "standin_database.h"
#include "system_helpers.h"

#ifdef _WIN32
#include "win32_handle.h"
#include "win32_text.h"
#else
#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kTables = 1000;
constexpr std::size_t kSlowTables = 5;

// The table lists live in the bench's folder, not beside the program.
class RecordingServices : public SystemWithListsIn {
  public:
    using SystemWithListsIn::SystemWithListsIn;
    std::vector<std::string> lines;

    std::unique_ptr<StartedCommand> StartCommand(const Command& command) override
    {
        lines.push_back(command.line);
        return SystemWithListsIn::StartCommand(command);
    }
};

std::string TableList(std::size_t tables)
{
    std::string list;
    for (std::size_t i = 1; i <= tables; ++i)
        list += "tabla" + std::to_string(i) + "\r\n";
    return list;
}

void CreateDatabases(const fs::path& folder)
{
    standin::Database source;
    for (std::size_t i = 1; i <= kTables; ++i) {
        const std::string name = "tabla" + std::to_string(i);
        source.tables.push_back({name, {{name + "-id", true}}, {"1|uno"}});
        if (i % 2 == 0)
            source.tables.back().records.push_back("2|dos");
    }
    // A list without tables is a failed pass: the other two databases hold one each.
    standin::WriteDatabase(folder / "korvane.db", source);
    standin::WriteDatabase(folder / "korvane1.db", {{source.tables[0]}});
    standin::WriteDatabase(folder / "korvane2.db", {{source.tables[0]}});
    WriteTextFile(standin::Utf8FromPath(folder / "korvane.ttl"), TableList(kTables - 2));
    WriteTextFile(standin::Utf8FromPath(folder / "korvane1.ttl"), TableList(1));
    WriteTextFile(standin::Utf8FromPath(folder / "korvane2.ttl"), TableList(1));
}

std::vector<std::string> RunEngine(const fs::path& folder, const std::string& proutilFolder)
{
    BenchWindow window;
    const std::string source = standin::Utf8FromPath(folder);
    window.texts = {{Field::Text1, source}, {Field::Text5, proutilFolder},
                    {Field::Text4, standin::Utf8FromPath(folder / "dump")}};
    window.values[CheckBox::Check2] = 1;
    RecordingServices platform(source);
    Engine engine(window, platform);
    engine.Aceptar_Click();
    if (window.messages > 0 || !engine.ProcesoOK)
        throw std::runtime_error("the engine showed " + std::to_string(window.messages) + " message(s); the run does not count");
    return std::move(platform.lines);
}

#ifdef _WIN32
const char* const kScriptName = "dispatch.bat";
const char* const kScriptStart = "@echo off\r\n";

// As the runner does: cmd /c strips one pair of quotes from a line that has
// any. cmd reads a batch file in the OEM code page.
std::string ScriptLine(const std::string& line)
{
    const std::wstring wide = Utf16("cmd /c " + (line.find('"') == std::string::npos ? line : '"' + line + '"') +
                                    " <NUL >NUL 2>&1\r\n");
    const int size = WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string oem(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), oem.data(), size, nullptr, nullptr);
    return oem;
}

void RunScript(const fs::path& script)
{
    const wchar_t* interpreter = _wgetenv(L"ComSpec");
    if (!interpreter)
        throw std::runtime_error("ComSpec is not set");
    const std::wstring line = L'"' + std::wstring(interpreter) + L"\" /c \"\"" + script.wstring() + L"\"\"";
    std::vector<wchar_t> writable(line.c_str(), line.c_str() + line.size() + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(interpreter, writable.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &started))
        ThrowSystemError<std::runtime_error>("cannot start the script");
    const UniqueHandle thread(started.hThread);
    const UniqueHandle process(started.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    if (exitCode != 0)
        throw std::runtime_error("the script ended with " + std::to_string(exitCode));
}

double CpuSeconds()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ticks = [](FILETIME t) { return static_cast<double>(ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) / 1e7;
}
#else
const char* const kScriptName = "dispatch.sh";
const char* const kScriptStart = "";

std::string ScriptLine(const std::string& line)
{
    return "/bin/sh -c " + QuoteArgument(line) + " </dev/null >/dev/null 2>&1\n";
}

void RunScript(const fs::path& script)
{
    const int status = std::system(("exec /bin/sh " + QuoteArgument(script.string())).c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the script failed with status " + std::to_string(status));
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
#endif

struct Times {
    double wall;
    double cpu;  // of this process alone
};

// Wine now and then fails to start a process under load; a run that lost a
// command measures something else, so it is measured again.
constexpr int kAttempts = 3;

// Every run starts from an empty dump folder, so that counting the dump
// files afterwards proves each of its commands did its work.
template <typename Run>
Times Measure(const fs::path& folder, std::size_t tables, const std::string& who, Run run)
{
    for (int attempt = 1;; ++attempt) {
        try {
            fs::remove_all(folder / "dump");
            for (const char* database : {"korvane", "korvane1", "korvane2"})
                fs::create_directories(folder / "dump" / database);
            const double cpu = CpuSeconds();
            const auto start = Clock::now();
            run();
            const Times times{std::chrono::duration<double>(Clock::now() - start).count(), CpuSeconds() - cpu};
            std::size_t found = 0;
            for (const char* database : {"korvane", "korvane1", "korvane2"}) {
                for (const fs::directory_entry& entry : fs::directory_iterator(folder / "dump" / database))
                    found += entry.path().extension() == ".bd" ? 1 : 0;
            }
            if (found != tables)
                throw std::runtime_error(who + " wrote " + std::to_string(found) + " dump files, not " +
                                         std::to_string(tables));
            return times;
        } catch (const std::runtime_error& error) {
            if (attempt == kAttempts)
                throw;
            std::cerr << "invalid run (" << error.what() << "), measured again" << std::endl;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = Rounds(argc, argv, 3, "dispatch_bench");
    if (rounds == 0)
        return 2;
    try {
        // A plain name: cmd reads a batch file in a code page of its own choosing.
        TempFolder temp("dispatch_bench");
        const fs::path folder = standin::PathFromUtf8(temp.Path());
        const std::string proutilFolder = StandinFolder();
        CreateDatabases(folder);
        std::cout << "proutil in " << proutilFolder << ", working in " << standin::Utf8FromPath(folder) << '\n'
                  << rounds << " rounds of " << kTables << " dump commands" << std::endl;
        std::cout << std::fixed << std::setprecision(3);

        const fs::path script = folder / kScriptName;
        std::vector<std::string> recorded;
        double engineTotal = 0;
        double scriptTotal = 0;
        for (int round = 1; round <= rounds; ++round) {
            std::vector<std::string> lines;
            const double engine = Measure(folder, kTables, "the engine", [&] { lines = RunEngine(folder, proutilFolder); }).wall;
            if (recorded.empty()) {
                recorded = lines;
                std::string text = kScriptStart;
                for (const std::string& line : recorded)
                    text += ScriptLine(line);
                WriteTextFile(standin::Utf8FromPath(script), text);
            } else if (lines != recorded) {
                throw std::runtime_error("the engine ran other commands than in round 1");
            }
            engineTotal += engine;
            std::cout << "round " << round << " engine: " << engine << " s" << std::endl;

            const double plain = Measure(folder, kTables, "the script", [&] { RunScript(script); }).wall;
            scriptTotal += plain;
            std::cout << "round " << round << " script: " << plain << " s" << std::endl;
        }

        // With the one table of korvane1 and of korvane2.
        WriteTextFile(standin::Utf8FromPath(folder / "korvane.ttl"), TableList(kSlowTables - 2));
        Times slow{};
        {
            ScopedEnvironment delay("PROUTIL_DELAY_MS", "1000");
            slow = Measure(folder, kSlowTables, "the slow pass", [&] { RunEngine(folder, proutilFolder); });
        }
        std::cout << "slow pass: " << kSlowTables << " commands of 1 s in " << slow.wall << " s, " << slow.cpu
                  << " s of cpu" << std::endl;

        std::cout << "dispatch ratio: " << engineTotal / scriptTotal << '\n'
                  << "cpu while waiting: " << std::setprecision(2) << slow.cpu / slow.wall * 100 << '%' << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "dispatch_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
