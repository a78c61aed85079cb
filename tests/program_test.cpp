#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include <tlhelp32.h>

#include "command_line.h"
#include "report_files.h"
#include "run_log.h"
#include "run_report.h"
#include "sample_databases.h"
#include "system_helpers.h"
#include "win32_handle.h"
#include "window_driver.h"

using namespace window_driver;

namespace {

const Milliseconds kStartTimeout{20000};
const Milliseconds kStepTimeout{5000};
const Milliseconds kRunTimeout{30000};
// Leaving is immediate. The command left behind waits until the test lets it
// go, so a program that waited for it would never end: this time only covers
// a slow machine.
const Milliseconds kExitTimeout{2000};
// A run counts each database's source and destination before its first dump.
const std::size_t kCountsFirst = 6;

// The status line of a pass over one database, before its dots.
std::string Status(const std::string& direction, const std::string& database)
{
    return "Procesando " + direction + " " + database + " ";
}

// The arguments of a line of the stand-in's log: "[a] [b] [c]".
std::vector<std::string> Arguments(const std::string& line)
{
    std::vector<std::string> arguments;
    for (std::size_t open = line.find('['); open != std::string::npos; open = line.find('[', open + 1)) {
        const std::size_t close = line.find(']', open);
        arguments.push_back(line.substr(open + 1, close - open - 1));
        open = close;
    }
    return arguments;
}

// vaciallena.exe processes started by this test program that still exist.
int ProgramsLeft()
{
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiW(entry.szExeFile, L"vaciallena.exe") == 0)
            ++count;
    }
    return count;
}

// The commands of the run log, its entries' "Orden:" lines, in order.
std::vector<std::string> LoggedCommands(const std::string& log)
{
    const std::string mark = "] Orden: ";
    std::vector<std::string> commands;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const auto found = line.find(mark);
        if (found != std::string::npos)
            commands.push_back(line.substr(found + mark.size(), line.find_last_not_of('\r') - found - mark.size() + 1));
    }
    return commands;
}

// The last drive of the picker's list other than letter's; 0 when none.
char AnotherDrive(const std::vector<std::string>& drives, char letter)
{
    for (auto drive = drives.rbegin(); drive != drives.rend(); ++drive) {
        // Listed as "Disco local (C:)".
        const char candidate = drive->size() >= 3 ? (*drive)[drive->size() - 3] : '\0';
        if (candidate != letter)
            return candidate;
    }
    return '\0';
}

// A whole installation in a folder of its own, as the administrator's guide
// lays it out: the program with its table lists in korv\programas, proutil.bat
// and _proutil.exe (the stand-in) in korv\dlc\bin. The program is started as a process and
// used only through its window, from outside.
class ProgramTest : public ::testing::Test {
  protected:
    TempFolder root{"vaciallena instalación"};
    std::string programFolder = root.Make("korv\\programas");
    std::string dlcFolder = root.Make("korv\\dlc\\bin");
    std::string source = root.Make("datos origen");
    std::string destination = root.Make("datos destino");
    std::string dumpFolder = root.Make("ficheros bd");
    std::string commandLog = JoinPath(root.Path(), "proutil.log");
    std::string holdFile = JoinPath(root.Path(), "proutil.hold");
    ScopedEnvironment logging{"PROUTIL_LOG", commandLog.c_str()};
    ScopedEnvironment holding{"PROUTIL_HOLD_FILE", holdFile.c_str()};
    std::optional<Program> program;
    std::optional<ProgramWindow> window;
    // The message boxes the test answered; those still open are read when a
    // failed test reports its run, before the program goes.
    std::vector<MessageBoxShown> answered;
    RunReport report{[this] {
                         std::vector<MessageBoxShown> boxes = answered;
                         if (window) {
                             for (const MessageBoxShown& box : window->MessageBoxes())
                                 boxes.push_back(box);
                         }
                         return BoxLines(boxes);
                     },
                     [this] { return JoinPath(dumpFolder, kLogFileName); }};
    // The commands let go on since HoldCommands.
    std::size_t released = 0;
    // The processes of the command that waits in RunUntilTheSecondDump.
    std::vector<UniqueHandle> heldCommand;

    void SetUp() override
    {
        WriteSampleDatabases(source, destination, programFolder);
        Install(JoinPath(SystemServices().ProgramFolder(), "vaciallena.exe"), programFolder);
        Install(JoinPath(StandinFolder(), "proutil.bat"), dlcFolder);
        Install(JoinPath(StandinFolder(), "_proutil.exe"), dlcFolder);
        program.emplace(JoinPath(programFolder, "vaciallena.exe"));
        window = ProgramWindow::Find(program->Id(), kStartTimeout);
        ASSERT_TRUE(window) << "the program's window did not appear";
        ASSERT_TRUE(WaitUntil([this] { return !window->Text(kIdText5).empty(); }, kStepTimeout))
            << "the window was never activated";
    }

    static void Install(const std::string& file, const std::string& folder)
    {
        const std::filesystem::path from = standin::PathFromUtf8(file);
        std::filesystem::copy_file(from, standin::PathFromUtf8(folder) / from.filename());
    }

    // The folders typed in and all three boxes ticked.
    void TypeTheFolders() const
    {
        window->SetChecked(kIdCheck2, true);
        window->SetText(kIdText1, source);
        window->SetChecked(kIdCheck3, true);
        window->SetText(kIdText2, destination);
        window->SetText(kIdText4, dumpFolder);
        window->SetChecked(kIdCheck1, true);
    }

    void StartRun() const
    {
        window->Click(kIdAceptar);
        ASSERT_TRUE(WaitUntil([this] { return !window->Enabled(kIdAceptar); }, kStepTimeout))
            << "the run did not start";
    }

    bool RunEnded() const { return window->Enabled(kIdAceptar) && window->Text(kIdLabel5).empty(); }

    // The stand-in's command lines, one a command, each written when it starts.
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> lines;
        std::istringstream text(ReadTextFile(commandLog));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    bool CommandsStarted(std::size_t count) const
    {
        return WaitUntil([&] { return Commands().size() >= count; }, kRunTimeout);
    }

    // From now on each command waits, once started, until Release lets it go on.
    void HoldCommands() const { WriteTextFile(holdFile, ""); }

    bool CommandHeld() const { return Commands().size() > released; }

    void Release()
    {
        const std::filesystem::path hold = standin::PathFromUtf8(holdFile);
        std::error_code error;
        ASSERT_TRUE(std::filesystem::remove(hold, error)) << "no command was held: " << error.message();
        // The command makes the file again as it goes on, for the next one to wait.
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(hold, error); }, kStepTimeout))
            << "the held command did not go on";
        ++released;
    }

    // Lets each command go on in turn until the run ends.
    bool FinishRun()
    {
        return WaitUntil(
            [this] {
                if (CommandHeld())
                    Release();
                return RunEnded();
            },
            kRunTimeout);
    }

    // Lets the counts that open a run go on, one after another: the next
    // command held is the first dump.
    void ReleaseTheCounts()
    {
        for (std::size_t count = 1; count <= kCountsFirst; ++count) {
            ASSERT_TRUE(CommandsStarted(count)) << "the run did not start its count " << count;
            ASSERT_NO_FATAL_FAILURE(Release());
        }
    }

    // A run that waits in its second dump, of korvane.
    void RunUntilTheSecondDump()
    {
        HoldCommands();
        TypeTheFolders();
        ASSERT_NO_FATAL_FAILURE(StartRun());
        ASSERT_NO_FATAL_FAILURE(ReleaseTheCounts());
        ASSERT_TRUE(CommandsStarted(kCountsFirst + 1)) << "the run did not start its first dump";
        ASSERT_NO_FATAL_FAILURE(Release());
        ASSERT_TRUE(CommandsStarted(kCountsFirst + 2)) << "the run did not reach its second dump";
        heldCommand = program->Descendants({"cmd.exe", "_proutil.exe"});
        ASSERT_EQ(heldCommand.size(), 2u) << "the interpreter and proutil of the second dump were not found";
    }

    // A whole run's commands in order, each written by the function of its
    // kind: each database's source and destination counted, every dump,
    // every load, the index rebuilds and the destinations' counts again.
    struct Writers {
        std::function<std::string(const std::string& dbFolder, const char* database, const std::string& table)> dump;
        std::function<std::string(const std::string& dbFolder, const char* database, const std::string& table)> load;
        std::function<std::string(const std::string& dbFolder, const char* database)> rebuild;
        std::function<std::string(const std::string& dbFolder, const char* database)> count;
    };
    std::vector<std::string> WholeRun(const Writers& write) const
    {
        std::vector<std::string> lines;
        for (const char* database : kDatabaseNames) {
            lines.push_back(write.count(source, database));
            lines.push_back(write.count(destination, database));
        }
        for (const char* database : kDatabaseNames) {
            for (const std::string table : kSampleTables)
                lines.push_back(write.dump(source, database, table));
        }
        for (const char* database : kDatabaseNames) {
            for (const std::string table : kSampleTables)
                lines.push_back(write.load(destination, database, table));
        }
        for (const char* database : kDatabaseNames)
            lines.push_back(write.rebuild(destination, database));
        for (const char* database : kDatabaseNames)
            lines.push_back(write.count(destination, database));
        return lines;
    }

    // As proutil got them.
    std::vector<std::string> WholeRunCommands() const
    {
        const auto db = [](const std::string& folder, const char* database) {
            return "[" + JoinPath(folder, database) + ".db] [-C] ";
        };
        return WholeRun({
            [&](const std::string& folder, const char* database, const std::string& table) {
                return db(folder, database) + "[dump] [" + table + "] [" + JoinPath(dumpFolder, database) + "]";
            },
            [&](const std::string& folder, const char* database, const std::string& table) {
                return db(folder, database) + "[load] [" + DumpFilePath(dumpFolder, database, table) + "]";
            },
            [&](const std::string& folder, const char* database) { return db(folder, database) + "[idxbuild] [all]"; },
            [&](const std::string& folder, const char* database) { return db(folder, database) + "[tabanalys]"; },
        });
    }

    void ExpectDestinationsEqualSources() const
    {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), SourceDatabase(i)) << kDatabaseNames[i];
    }

    // After the program has gone: the command it left waiting finishes once
    // let go, and nothing starts after it.
    void ExpectTheRunStoppedAfter(std::size_t commandsBefore)
    {
        const std::vector<std::string> started = Commands();
        const std::vector<std::string> whole = WholeRunCommands();
        ASSERT_GE(started.size(), commandsBefore);
        ASSERT_LT(started.size(), whole.size()) << "the run went on to its end";
        EXPECT_EQ(started, std::vector<std::string>(whole.begin(), whole.begin() + started.size()));
        const std::vector<std::string> last = Arguments(started.back());
        ASSERT_EQ(last.size(), 5u);
        ASSERT_EQ(last[2], "dump");
        const std::string dumpFile = JoinPath(last[4], last[3]) + ".bd";
        ASSERT_NO_FATAL_FAILURE(Release());
        ASSERT_TRUE(AllEnded(heldCommand, kRunTimeout)) << started.back() << " did not end";
        EXPECT_TRUE(Exists(dumpFile)) << started.back() << " did not finish";
        EXPECT_EQ(Commands(), started);
        EXPECT_EQ(ProgramsLeft(), 0);
    }

    // "&Cancelar" while the second dump of a run goes on: the question it asks.
    std::optional<MessageBoxShown> AskToLeaveDuringARun()
    {
        RunUntilTheSecondDump();
        if (testing::Test::HasFatalFailure())
            return std::nullopt;
        window->Click(kIdCancelar);
        auto box = window->WaitForMessageBox(kStepTimeout);
        if (box) {
            EXPECT_EQ(box->title, "Salir del Programa");
            EXPECT_EQ(box->text, "¿Está seguro de querer salir del Programa de Brandemar?");
        }
        return box;
    }
};

struct Sighting {
    std::string status;
    std::string table;
    bool locked;

    bool operator==(const Sighting&) const = default;
};

TEST_F(ProgramTest, WholeRunShowsItsProgressLocksTheWindowAndCopiesTheDatabases)
{
    EXPECT_EQ(window->Text(kIdText5), dlcFolder);
    EXPECT_EQ(window->Text(kIdText6), dlcFolder);

    HoldCommands();
    TypeTheFolders();
    ASSERT_NO_FATAL_FAILURE(StartRun());
    ASSERT_NO_FATAL_FAILURE(ReleaseTheCounts());
    std::vector<Sighting> seen;
    // Whether the window was seen: it goes on changing between the reads,
    // which belong together only when the status line held still around them.
    const auto look = [&] {
        const std::string status = window->Text(kIdLabel5);
        const std::string table = window->Text(kIdLabel4);
        const bool locked = !window->Enabled(kIdAceptar) && !window->Enabled(kIdFrame4) &&
                            !window->Enabled(kIdFrame5) && !window->Enabled(kIdFrame6) && !window->Enabled(kIdText4);
        if (window->Text(kIdLabel5) != status)
            return false;
        const Sighting now{status, table, locked};
        if (seen.empty() || !(now == seen.back()))
            seen.push_back(now);
        return true;
    };
    const std::string korvane = Status("Descarga", "Korvane");
    // The first dump waits while the dots grow, each later command until the
    // window has been seen while it waited.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const bool held = CommandHeld();
            return look() && held && seen.back().status.rfind(korvane + "..", 0) == 0;
        },
        kRunTimeout))
        << "the dots did not grow while korvane's first table was dumped";
    ASSERT_NO_FATAL_FAILURE(Release());
    ASSERT_TRUE(WaitUntil(
        [&] {
            const bool held = CommandHeld();
            if (look() && held)
                Release();
            return RunEnded();
        },
        kRunTimeout))
        << "the run did not end";

    // The first sighting from `from` on whose status line starts with
    // `status` while the table line shows `table`; seen.size() when none.
    const auto first = [&](std::size_t from, const std::string& status, const std::optional<std::string>& table) {
        for (std::size_t i = from; i < seen.size(); ++i) {
            if (seen[i].status.rfind(status, 0) == 0 && (!table || seen[i].table == *table))
                return i;
        }
        return seen.size();
    };
    const std::size_t firstTable = first(0, korvane, "Tabla: PUB.cliente");
    ASSERT_LT(firstTable, seen.size()) << "the dump of korvane's first table was not shown";
    // A dot every tick of the timer, for as long as the database's pass lasts.
    const std::size_t oneDot = first(firstTable, korvane + ".", std::nullopt);
    ASSERT_LT(oneDot, seen.size()) << "no progress dot";
    EXPECT_LT(first(oneDot, korvane + "..", std::nullopt), seen.size()) << "the dots did not grow";
    EXPECT_LT(first(0, Status("Carga", "Korvane2"), "Tabla: GMTRANS"), seen.size());
    EXPECT_LT(first(0, "Indexando Indices de Korvane1", ""), seen.size());
    for (const Sighting& sighting : seen) {
        if (!sighting.status.empty()) {
            EXPECT_TRUE(sighting.locked) << "unlocked while showing " << sighting.status;
        }
    }

    EXPECT_EQ(window->Text(kIdLabel4), "");
    for (ControlId id : {kIdFrame4, kIdFrame5, kIdFrame6, kIdText1, kIdText2, kIdText4, kIdAceptar})
        EXPECT_TRUE(window->Enabled(id)) << id;
    EXPECT_TRUE(window->MessageBoxes().empty());
    ExpectDestinationsEqualSources();
    EXPECT_EQ(Commands(), WholeRunCommands());
}

TEST_F(ProgramTest, ClosingTheWindowInTheMiddleOfARunEndsTheProgramAtOnce)
{
    // Closed while the second dump waits.
    ASSERT_NO_FATAL_FAILURE(RunUntilTheSecondDump());
    EXPECT_EQ(ProgramsLeft(), 1);
    window->Close();
    EXPECT_TRUE(program->Ended(kExitTimeout));
    ExpectTheRunStoppedAfter(kCountsFirst + 2);
}

// Side by side, up to three commands run when the program is left: they
// finish by themselves, the log names them, and no command starts after.
TEST_F(ProgramTest, LeavingWhileTheDatabasesGoSideBySideStartsNoMoreCommands)
{
    HoldCommands();
    TypeTheFolders();
    window->SetChecked(kIdCheck5, true);
    ASSERT_NO_FATAL_FAILURE(StartRun());
    ASSERT_TRUE(CommandsStarted(3)) << "the three databases did not start side by side";
    heldCommand = program->Descendants({"cmd.exe", "_proutil.exe"});
    ASSERT_EQ(heldCommand.size(), 6u);
    window->Close();
    EXPECT_TRUE(program->Ended(kExitTimeout));

    // Each deletion of the hold file lets at least one of them go on.
    const std::filesystem::path hold = standin::PathFromUtf8(holdFile);
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::error_code ignored;
            std::filesystem::remove(hold, ignored);
            return AllEnded(heldCommand, Milliseconds(0));
        },
        kRunTimeout));
    EXPECT_EQ(Commands().size(), 3u);
    EXPECT_NE(ReadTextFile(JoinPath(dumpFolder, kLogFileName)).find("que siguen solas:"), std::string::npos);
    EXPECT_EQ(ProgramsLeft(), 0);
}

TEST_F(ProgramTest, CancelarAsksAndCancellingTheQuestionLetsTheRunGoOn)
{
    const auto box = AskToLeaveDuringARun();
    ASSERT_TRUE(box);
    window->Answer(*box, IDCANCEL);

    ASSERT_TRUE(FinishRun()) << "the run did not end";
    EXPECT_FALSE(program->Ended(Milliseconds(0)));
    EXPECT_TRUE(window->MessageBoxes().empty());
    ExpectDestinationsEqualSources();
    EXPECT_EQ(Commands(), WholeRunCommands());
}

TEST_F(ProgramTest, CancelarConfirmedWhileADatabaseIsShownEndsTheProgramAtOnce)
{
    const auto box = AskToLeaveDuringARun();
    ASSERT_TRUE(box);
    EXPECT_EQ(window->Text(kIdLabel5).rfind(Status("Descarga", "Korvane"), 0), 0u) << window->Text(kIdLabel5);
    window->Answer(*box, IDOK);
    EXPECT_TRUE(program->Ended(kExitTimeout));
    ExpectTheRunStoppedAfter(kCountsFirst + 2);
}

TEST_F(ProgramTest, FoldersChosenInThePickerRunFromDumpToIndexRebuild)
{
    window->SetChecked(kIdCheck2, true);
    window->ChooseFolder(kIdBuscar, source);
    window->SetChecked(kIdCheck3, true);
    window->ChooseFolder(kIdBuscar2, destination);
    // The picker is on the right drive now; this time it comes from another.
    window->OpenPicker(kIdBuscar4);
    const char otherDrive = AnotherDrive(window->Items(kIdDrive1), dumpFolder[0]);
    ASSERT_NE(otherDrive, '\0') << "no second drive to come from";
    window->ChooseDrive(otherDrive);
    EXPECT_EQ(window->Text(kIdText3).substr(0, 2), std::string({otherDrive, ':'}));
    window->OpenFolder(dumpFolder);
    window->SelectPickedFolder();
    EXPECT_EQ(window->Text(kIdText1), source);
    EXPECT_EQ(window->Text(kIdText2), destination);
    EXPECT_EQ(window->Text(kIdText4), dumpFolder);
    window->SetChecked(kIdCheck1, true);

    ASSERT_NO_FATAL_FAILURE(StartRun());
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const MessageBoxShown& box : window->MessageBoxes()) {
                answered.push_back(box);
                window->Answer(box, IDOK);
            }
            return RunEnded();
        },
        kRunTimeout))
        << "the run did not end";
    EXPECT_EQ(BoxLines(answered), std::vector<std::string>());
    ExpectDestinationsEqualSources();
    EXPECT_EQ(Commands(), WholeRunCommands());

    const std::string log = ReadTextFile(JoinPath(dumpFolder, kLogFileName));
    const std::string end = kLogLineEnd;
    for (const std::string& line :
         {"Bases de datos de origen: " + source, "DLC de origen: " + dlcFolder, "Bases de datos de destino: " + destination,
          "DLC de destino: " + dlcFolder, "Origen y destino de los ficheros .bd: " + dumpFolder})
        EXPECT_NE(log.find(end + line + end), std::string::npos) << line;
    const std::vector<std::string> commands = WholeRun({
        [&](const std::string& folder, const char* database, const std::string& table) {
            return DumpCommand(dlcFolder, folder, database, table, dumpFolder);
        },
        [&](const std::string& folder, const char* database, const std::string& table) {
            return LoadCommand(dlcFolder, folder, database, table, dumpFolder);
        },
        [&](const std::string& folder, const char* database) { return IndexRebuildCommand(dlcFolder, folder, database); },
        [&](const std::string& folder, const char* database) { return TableAnalysisCommand(dlcFolder, folder, database); },
    });
    EXPECT_EQ(LoggedCommands(log), commands);
    EXPECT_EQ(log.find("fallido"), std::string::npos);
    EXPECT_NE(log.find(". Resultado: correcto" + end), std::string::npos);
}

TEST_F(ProgramTest, EnterPressedTwiceAfterAceptarLeavesTheRunGoingOn)
{
    HoldCommands();
    TypeTheFolders();
    ASSERT_NO_FATAL_FAILURE(StartRun());
    ASSERT_TRUE(CommandsStarted(1)) << "the run did not start its first command";
    for (int press = 0; press < 2; ++press) {
        window->PressKey(VK_RETURN);
        ASSERT_NO_THROW(window->WaitUntilHandled()) << "the program did not outlive Enter " << press + 1;
    }
    ASSERT_TRUE(FinishRun()) << "the run did not end";
    EXPECT_FALSE(program->Ended(Milliseconds(0)));
    EXPECT_EQ(Commands(), WholeRunCommands());
}

// The second click reaches the window while the first command of the run
// it started waits: it must not start a run inside the run.
TEST_F(ProgramTest, TwoClicksQueuedOnAceptarRunOnce)
{
    HoldCommands();
    TypeTheFolders();
    window->PostClicks(kIdAceptar, 2);
    ASSERT_TRUE(WaitUntil([this] { return !window->Enabled(kIdAceptar); }, kStepTimeout)) << "the run did not start";
    ASSERT_TRUE(CommandsStarted(1)) << "the run did not start its first command";
    ASSERT_NO_THROW(window->WaitUntilHandled()) << "the second click was not handled";
    ASSERT_TRUE(FinishRun()) << "the run did not end";
    EXPECT_EQ(Commands(), WholeRunCommands());
}

} // namespace
