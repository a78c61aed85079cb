#pragma once

#include <cctype>
#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "command_line.h"
#include "platform.h"
#include "table_list.h"
#include "window_ops.h"

// Writes a path given with "\" in the platform's own separator, so one
// expectation serves both builds; elsewhere a drive is a folder of the root,
// so that the path stays a full one.
inline std::string Native(std::string path)
{
    for (char& c : path) {
        if (c == '\\')
            c = kPathSeparator;
    }
#ifndef _WIN32
    for (std::size_t i = path.size(); i-- > 0;) {
        if (path[i] == ':' && i >= 1 && std::isalpha(static_cast<unsigned char>(path[i - 1])) &&
            (i == 1 || path[i - 2] == ' '))
            path.insert(i - 1, "/");
    }
#endif
    return path;
}

// Everything the engine does to the window and the system, in order, as
// readable lines: "message 64 [title] text", "caption Label5 [text]",
// "enable Frame4 0", "run LINE", "mkdir PATH".
using EventLog = std::vector<std::string>;

class RecordingWindow : public WindowOps {
  public:
    explicit RecordingWindow(EventLog& log) : log_(log) {}

    std::map<Field, std::string> texts;
    std::map<CheckBox, int> values;
    // Called on every DoEvents, to act in the middle of a run.
    std::function<void()> onEvents;
    // Called while a message box of that title is open.
    std::function<void(const std::string& title)> onMessage;
    // The button each message box is answered with, by its title; OK when not given.
    std::map<std::string, int> answers;
    int eventsProcessed = 0;

    std::string Text(Field field) override { return texts[field]; }
    int Value(CheckBox box) override { return values[box]; }
    void SetCaption(Caption label, const std::string& caption) override
    {
        log_.push_back(std::string("caption ") + (label == Caption::Label4 ? "Label4" : "Label5") + " [" + caption + "]");
    }
    void Enable(Control control, bool enabled) override
    {
        static const char* const names[] = {"Aceptar", "Frame4", "Frame5", "Frame6", "Timer1"};
        log_.push_back(std::string("enable ") + names[static_cast<int>(control)] + (enabled ? " 1" : " 0"));
    }
    int ShowMessage(const std::string& text, const std::string& title, int style) override
    {
        log_.push_back("message " + std::to_string(style) + " [" + title + "] " + text);
        if (onMessage)
            onMessage(title);
        const auto answer = answers.find(title);
        return answer == answers.end() ? kAnswerOk : answer->second;
    }
    void DoEvents() override
    {
        ++eventsProcessed;
        if (onEvents)
            onEvents();
    }
    // Kept apart from the event log: they come after the run's own events.
    std::vector<RunProgress> progress;
    int runsFinished = 0;
    void ShowProgress(const RunProgress& shown) override { progress.push_back(shown); }
    void RunFinished() override { ++runsFinished; }
    void ShowSideBySide(bool sideBySide) override { log_.push_back(std::string("side by side ") + (sideBySide ? "1" : "0")); }

  private:
    EventLog& log_;
};

class FakePlatform : public Platform {
  public:
    explicit FakePlatform(EventLog& log) : log_(log) {}

    std::string programFolder = Native("C:\\korv\\bin");
    // Table lists and kept outputs, by full path.
    std::map<std::string, std::string> textFiles;
    std::set<std::string> files;                     // files that exist
    std::set<std::string> folders;                   // made by CreateFolder unless in uncreatable
    std::set<std::string> uncreatable;
    std::set<std::string> unreadable;                // Look throws
    // Pairs of paths that name the same file, either way round.
    std::set<std::pair<std::string, std::string>> sameFiles;
    // Every command as it was started, and each KeepAwake asked.
    std::vector<Command> commands;
    std::vector<bool> awake;
    // The answer to a command line; by default proutil's success message.
    std::function<CommandResult(const std::string&)> answer;
    bool interpreterMissing = false;
    // The next this many commands find that their interpreter cannot be started.
    int startsFailing = 0;
    // The clock reads 2026-12-08 11:44:35 plus elapsed, and moves only when
    // a test moves it or a command runs.
    std::chrono::milliseconds elapsed{0};
    std::chrono::milliseconds commandTakes{0};
    // Appended text by path; writes from number failWritesFrom on (counted
    // from 0) fail and leave nothing.
    std::map<std::string, std::string> appended;
    int writes = 0;
    int failWritesFrom = -1;

    // The free space of a folder's volume, by folder; a folder not given
    // has a terabyte on "C:\\", one in spaceUnknown has none that can be known.
    std::map<std::string, FreeSpace> space;
    std::set<std::string> spaceUnknown;
    std::map<std::string, std::uint64_t> sizes;  // of files, by path

    FreeSpace SpaceOf(const std::string& folder) override
    {
        if (spaceUnknown.count(folder))
            throw RunError("No se puede saber el espacio libre de " + folder);
        const auto found = space.find(folder);
        return found != space.end() ? found->second : FreeSpace{"C:\\", 1ULL << 40};
    }
    std::optional<std::uint64_t> SizeOf(const std::string& path) override
    {
        const auto found = sizes.find(path);
        return found == sizes.end() ? std::nullopt : std::optional<std::uint64_t>(found->second);
    }
    PathKind Look(const std::string& path) override
    {
        if (unreadable.count(path))
            throw RunError("No se puede comprobar el fichero " + path);
        if (files.count(path) || textFiles.count(path))
            return PathKind::File;
        return folders.count(path) ? PathKind::Folder : PathKind::Missing;
    }
    bool SameFile(const std::string& a, const std::string& b) override
    {
        return sameFiles.count({a, b}) > 0 || sameFiles.count({b, a}) > 0;
    }
    bool CreateFolder(const std::string& path) override
    {
        log_.push_back("mkdir " + path);
        if (uncreatable.count(path))
            return false;
        folders.insert(path);
        return true;
    }
    void KeepAwake(bool on) override { awake.push_back(on); }
    std::string ProgramFolder() override { return programFolder; }
    // How often each file was read.
    std::map<std::string, int> reads;
    std::string ReadTextFile(const std::string& path) override
    {
        ++reads[path];
        const auto found = textFiles.find(path);
        if (found == textFiles.end())
            throw RunError("No se encuentra el fichero " + path);
        return found->second;
    }
    bool RemoveFile(const std::string& path) override
    {
        log_.push_back("remove " + path);
        files.erase(path);
        textFiles.erase(path);
        return true;
    }
    // Commands started: each ends when the clock reaches its end, and they
    // end in that order. The event log has "run LINE" when one starts and
    // "end LINE" when it ends, and "pause N" for a wait of N milliseconds
    // that no command's end cut short.
    struct Started : StartedCommand {
        Command command;
        std::chrono::milliseconds end{0};
    };
    // Commands whose line holds this never start.
    std::string neverStarts;
    // How long a command takes, by its line; commandTakes when not given.
    std::function<std::chrono::milliseconds(const std::string&)> takes;

    // Throws as a command whose interpreter cannot be started does, when
    // startsFailing or neverStarts says so.
    void FailStart(const std::string& line)
    {
        if (startsFailing == 0 && (neverStarts.empty() || line.find(neverStarts) == std::string::npos))
            return;
        startsFailing = std::max(startsFailing - 1, 0);
        log_.push_back("not started " + line);
        throw CommandNotStarted("No se puede ejecutar el intérprete de órdenes");
    }

    std::unique_ptr<StartedCommand> StartCommand(const Command& command) override
    {
        if (interpreterMissing)
            throw RunError("No se puede ejecutar la orden");
        FailStart(command.line);
        commands.push_back(command);
        log_.push_back("run " + command.line);
        auto started = std::make_unique<Started>();
        started->command = command;
        started->end = elapsed + (takes ? takes(command.line) : commandTakes);
        return started;
    }
    std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& running,
                                               std::optional<std::chrono::milliseconds> timeout,
                                               const std::function<void()>& whileWaiting) override
    {
        whileWaiting();
        std::optional<std::size_t> first;
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (!first || static_cast<Started*>(running[i])->end < static_cast<Started*>(running[*first])->end)
                first = i;
        }
        const auto end = [&] { return static_cast<Started*>(running[*first])->end; };
        if (!first || (timeout && elapsed + *timeout < end())) {
            log_.push_back("pause " + std::to_string(timeout.value_or(std::chrono::milliseconds(0)).count()));
            elapsed += timeout.value_or(std::chrono::milliseconds(0));
            return std::nullopt;
        }
        elapsed = std::max(elapsed, end());
        log_.push_back("end " + static_cast<Started*>(running[*first])->command.line);
        return first;
    }
    CommandResult FinishCommand(StartedCommand& command) override
    {
        const Command& finished = static_cast<Started&>(command).command;
        const CommandResult result = answer ? answer(finished.line) : Succeeded(finished.line);
        if (!finished.outputFile.empty())
            textFiles[finished.outputFile] = result.output;
        return result;
    }

    ClockReading Now() override
    {
        const int seconds = ((11 * 60) + 44) * 60 + 35 + static_cast<int>(elapsed.count() / 1000);
        return {{2026, 12, 8, seconds / 3600, seconds / 60 % 60, seconds % 60}, elapsed};
    }
    bool AppendToFile(const std::string& path, const std::string& utf8Text) override
    {
        const int number = writes++;
        if (failWritesFrom >= 0 && number >= failWritesFrom)
            return false;
        appended[path] += utf8Text;
        return true;
    }

    // The records each database holds, by its .db file and by table.
    std::map<std::string, std::map<std::string, long long>> held;

    // What proutil prints when a command succeeds, as if the databases held
    // records: a dump writes the records its table holds in its source (two
    // for a table that held none), a load stores those of the file it
    // names, and a table analysis counts what a database holds so far; one
    // that holds none prints a table of no records.
    CommandResult Succeeded(const std::string& line)
    {
        const std::vector<std::string> words = Words(line);
        const std::string function = words.size() > 3 ? words[3] : "";
        if (function == "dump" && words.size() > 5) {
            long long& records = held[words[1]][words[4]];
            records = records > 0 ? records : kRecordsATable;
            dumped_[words[5] + kPathSeparator + DumpFileName(words[4])] = {words[4], records};
            return {0, "Dumped " + std::to_string(records) + " records. (13932)\nBinary Dump complete. (6254)\n"};
        }
        if (function == "load" && words.size() > 4) {
            if (const auto dumped = dumped_.find(words[4]); dumped != dumped_.end())
                held[words[1]][dumped->second.first] += dumped->second.second;
            return {0, "Binary Load complete. (6256)\n"};
        }
        if (function == "tabanalys")
            return {0, held.count(words[1]) ? Report(held[words[1]], bytesARecord) : EmptyReport()};
        return {0, "3 indexes were rebuilt. (11465)\n"};
    }

    // Each table of each list holds two records in its source, as a dump
    // will find them.
    void SourcesHold(const std::string& sourceFolder, const std::vector<std::string>& tables)
    {
        for (const char* name : {"korvane", "korvane1", "korvane2"}) {
            for (const std::string& table : tables)
                held[sourceFolder + kPathSeparator + name + ".db"][table] = kRecordsATable;
        }
    }

    // The size a table analysis gives each record.
    long long bytesARecord = 0;

    // A table analysis of one area whose tables hold no records.
    static std::string EmptyReport() { return Report({{"cliente", 0}}, 0); }

  private:
    static constexpr long long kRecordsATable = 2;

    static std::string Report(const std::map<std::string, long long>& tables, long long bytesARecord)
    {
        std::string rows;
        long long all = 0;
        for (const auto& [table, records] : tables) {
            const std::string count = std::to_string(records);
            const std::string size = std::to_string(records * bytesARecord) + ".0B";
            rows += (table.find('.') == std::string::npos ? "PUB." : "") + table + " " + count + " " + size + " 0 0 0 " + count +
                    " 1.0 1.0\n";
            all += records;
        }
        return "RECORD BLOCK SUMMARY FOR AREA \"Schema Area\" : 6\n"
               "                 -Record Size (B)-   ---Fragments--- Scatter\n"
               "Table   Records   Size   Min   Max   Mean   Count Factor  Factor\n" +
               rows +
               "------------------------------------------------------------\n"
               "Subtotals: " + std::to_string(all) + " 0.0B 0 0 0 " + std::to_string(all) + " 1.0 1.0\n";
    }

    // The words of a command line, a quoted path as one.
    static std::vector<std::string> Words(const std::string& line)
    {
        std::vector<std::string> words(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ' ' && !quoted)
                words.emplace_back();
            else
                words.back() += c;
        }
        return words;
    }

    // The table and records of each dump file.
    std::map<std::string, std::pair<std::string, long long>> dumped_;
    EventLog& log_;
};
