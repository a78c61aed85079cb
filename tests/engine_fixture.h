#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine.h"
#include "fakes.h"
#include "run_log.h"

// One expectation for both builds: "\n" stands for the log's line end.
inline std::string WithLogLineEnds(const std::string& text)
{
    std::string converted;
    for (char c : text)
        converted += c == '\n' ? std::string(kLogLineEnd) : std::string(1, c);
    return converted;
}

// The engine with a recording window and a fake system, and the request of
// an ordinary run: its folders there, two tables in every list.
inline const char* const kDatabaseNames[] = {"korvane", "korvane1", "korvane2"};

class EngineTest : public ::testing::Test {
  protected:
    EventLog log;
    RecordingWindow window{log};
    FakePlatform platform{log};
    Engine engine{window, platform};

    void SetUp() override
    {
        window.texts[Field::Text1] = Native("D:\\bd");
        window.texts[Field::Text5] = Native("C:\\korv\\dlc\\bin");
        window.texts[Field::Text2] = Native("F:\\bd");
        window.texts[Field::Text6] = Native("C:\\korv\\dlc\\bin");
        window.texts[Field::Text4] = Native("E:\\vol");
        for (const char* name : kDatabaseNames)
            platform.textFiles[ListOf(name)] = "cliente\r\nfactura\r\n";
        for (const char* folder : {"D:\\bd", "F:\\bd"}) {
            platform.folders.insert(Native(folder));
            for (const char* name : kDatabaseNames)
                platform.files.insert(Native(folder) + kPathSeparator + name + ".db");
        }
        platform.SourcesHold(Native("D:\\bd"), {"cliente", "factura"});
    }

    std::string ListOf(const std::string& database) const
    {
        return Native("C:\\korv\\bin\\") + database + ".ttl";
    }

    void Tick(CheckBox box) { window.values[box] = 1; }

    // Commands whose line holds part end that way; every other succeeds.
    void Answer(const std::string& part, const CommandResult& result)
    {
        platform.answer = [this, part, result](const std::string& line) {
            return line.find(part) != std::string::npos ? result : platform.Succeeded(line);
        };
    }

    std::string LogPath() const { return Native("E:\\vol\\vaciallena.log"); }
    // The last paragraph of a failure message while the log is written.
    std::string Details() const { return "\n\nLos detalles están en el registro " + LogPath() + "."; }
    std::string Notice() const
    {
        return "message 64 [Vaciallena] No se ha podido escribir el registro de la ejecución en " + LogPath() + ".";
    }
    std::string Written() const
    {
        const auto found = platform.appended.find(LogPath());
        return found == platform.appended.end() ? std::string() : found->second;
    }
    std::vector<std::string> WrittenLines() const
    {
        std::vector<std::string> lines;
        const std::string text = Written();
        const std::string end = kLogLineEnd;
        for (std::string::size_type start = 0, stop; (stop = text.find(end, start)) != std::string::npos;
             start = stop + end.size())
            lines.push_back(text.substr(start, stop - start));
        return lines;
    }

    std::vector<std::string> Lines(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : log) {
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
        }
        return found;
    }
    std::vector<std::string> Runs() const { return Lines("run "); }
    // Where in the event log the first event holding part is; the log's end when none.
    std::size_t First(const std::string& part) const
    {
        const auto found = std::find_if(log.begin(), log.end(),
                                        [&](const std::string& event) { return event.find(part) != std::string::npos; });
        return static_cast<std::size_t>(found - log.begin());
    }
    std::vector<std::string> Dumps() const
    {
        std::vector<std::string> dumps;
        for (const std::string& run : Runs()) {
            if (run.find(" -C dump ") != std::string::npos)
                dumps.push_back(run);
        }
        return dumps;
    }
    std::vector<std::string> Messages() const { return Lines("message "); }

    // The window ends every run unlocked, in this order.
    void ExpectUnlockedAtEnd() const
    {
        const std::vector<std::string> unlock = {
            "caption Label5 []", "caption Label4 []", "enable Frame4 1", "enable Frame5 1",
            "enable Frame6 1",   "enable Aceptar 1",  "enable Timer1 0",
        };
        ASSERT_GE(log.size(), unlock.size());
        EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<long>(unlock.size()), log.end()), unlock);
    }
};

