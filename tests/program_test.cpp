#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include <tlhelp32.h>

#include "command_line.h"
#include "run_log.h"
#include "sample_databases.h"
#include "system_helpers.h"
#include "win32_handle.h"
#include "window_driver.h"

using namespace window_driver;

namespace {

const Milliseconds kStartTimeout{20000};
const Milliseconds kStepTimeout{5000};
const Milliseconds kRunTimeout{30000};
// Leaving is immediate; this only covers a slow machine.
const Milliseconds kExitTimeout{2000};
// Each command sleeps this long, so that a run lasts long enough to watch the
// progress dots (one every 700 ms) and to act in the middle of it.
const int kCommandMs = 500;
// What a command takes at most under Wine, starting the interpreter included.
const Milliseconds kCommandLength{kCommandMs + 1000};

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

// The commands of the run log, its "Orden:" lines, in order.
std::vector<std::string> LoggedCommands(const std::string& log)
{
    const std::string mark = "  Orden: ";
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
    ScopedEnvironment delay{"PROUTIL_DELAY_MS", std::to_string(kCommandMs).c_str()};
    ScopedEnvironment logging{"PROUTIL_LOG", commandLog.c_str()};
    std::optional<Program> program;
    std::optional<ProgramWindow> window;

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

    // Every dump, then every load, then the index rebuilds, as proutil got them.
    std::vector<std::string> WholeRunCommands() const
    {
        std::vector<std::string> lines;
        for (const char* database : kDatabaseNames) {
            for (const std::string table : kSampleTables)
                lines.push_back("[" + JoinPath(source, database) + ".db] [-C] [dump] [" + table + "] [" +
                                JoinPath(dumpFolder, database) + "]");
        }
        for (const char* database : kDatabaseNames) {
            for (const std::string table : kSampleTables)
                lines.push_back("[" + JoinPath(destination, database) + ".db] [-C] [load] [" +
                                DumpFilePath(dumpFolder, database, table) + "]");
        }
        for (const char* database : kDatabaseNames)
            lines.push_back("[" + JoinPath(destination, database) + ".db] [-C] [idxbuild] [all]");
        return lines;
    }

    void ExpectDestinationsEqualSources() const
    {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), SourceDatabase(i)) << kDatabaseNames[i];
    }

    // After the program has gone: the command it left running finishes on
    // its own, and nothing starts after it.
    void ExpectTheRunStoppedAfter(std::size_t commandsBefore) const
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
        EXPECT_TRUE(WaitUntil([&] { return Exists(dumpFile); }, kRunTimeout)) << started.back() << " did not finish";
        std::this_thread::sleep_for(3 * kCommandLength);
        EXPECT_EQ(Commands(), started);
        EXPECT_EQ(ProgramsLeft(), 0);
    }

    // "&Cancelar" while the second command of a run goes on: the question it asks.
    std::optional<MessageBoxShown> AskToLeaveDuringARun()
    {
        TypeTheFolders();
        StartRun();
        if (testing::Test::HasFatalFailure())
            return std::nullopt;
        if (!CommandsStarted(2)) {
            ADD_FAILURE() << "the run did not reach its second command";
            return std::nullopt;
        }
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

    TypeTheFolders();
    ASSERT_NO_FATAL_FAILURE(StartRun());
    std::vector<Sighting> seen;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::string status = window->Text(kIdLabel5);
            const std::string table = window->Text(kIdLabel4);
            const bool locked = !window->Enabled(kIdAceptar) && !window->Enabled(kIdFrame4) &&
                                !window->Enabled(kIdFrame5) && !window->Enabled(kIdFrame6) &&
                                !window->Enabled(kIdText4);
            // The window goes on changing between the reads; they belong
            // together only when the status line held still around them.
            const Sighting now{status, table, locked};
            if (window->Text(kIdLabel5) == status && (seen.empty() || !(now == seen.back())))
                seen.push_back(now);
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
    const std::string korvane = Status("Descarga", "Korvane");
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
    TypeTheFolders();
    ASSERT_NO_FATAL_FAILURE(StartRun());
    // Closed while the second dump is running.
    ASSERT_TRUE(CommandsStarted(2));
    EXPECT_EQ(ProgramsLeft(), 1);
    window->Close();
    EXPECT_TRUE(program->Ended(kExitTimeout));
    ExpectTheRunStoppedAfter(2);
}

TEST_F(ProgramTest, CancelarAsksAndCancellingTheQuestionLetsTheRunGoOn)
{
    const auto box = AskToLeaveDuringARun();
    ASSERT_TRUE(box);
    window->Answer(*box, IDCANCEL);

    ASSERT_TRUE(WaitUntil([this] { return RunEnded(); }, kRunTimeout)) << "the run did not end";
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
    ExpectTheRunStoppedAfter(2);
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
    std::vector<std::string> messages;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const MessageBoxShown& box : window->MessageBoxes()) {
                messages.push_back(box.title + ": " + box.text);
                window->Answer(box, IDOK);
            }
            return RunEnded();
        },
        kRunTimeout))
        << "the run did not end";
    EXPECT_EQ(messages, std::vector<std::string>());
    ExpectDestinationsEqualSources();
    EXPECT_EQ(Commands(), WholeRunCommands());

    const std::string log = ReadTextFile(JoinPath(dumpFolder, kLogFileName));
    const std::string end = kLogLineEnd;
    for (const std::string& line :
         {"Bases de datos de origen: " + source, "DLC de origen: " + dlcFolder, "Bases de datos de destino: " + destination,
          "DLC de destino: " + dlcFolder, "Origen y destino de los ficheros .bd: " + dumpFolder})
        EXPECT_NE(log.find(end + line + end), std::string::npos) << line;
    std::vector<std::string> commands;
    for (const char* database : kDatabaseNames) {
        for (const std::string table : kSampleTables)
            commands.push_back(DumpCommand(dlcFolder, source, database, table, dumpFolder));
    }
    for (const char* database : kDatabaseNames) {
        for (const std::string table : kSampleTables)
            commands.push_back(LoadCommand(dlcFolder, destination, database, table, dumpFolder));
    }
    for (const char* database : kDatabaseNames)
        commands.push_back(IndexRebuildCommand(dlcFolder, destination, database));
    EXPECT_EQ(LoggedCommands(log), commands);
    EXPECT_EQ(log.find("fallido"), std::string::npos);
    EXPECT_NE(log.find(". Resultado: correcto" + end), std::string::npos);
}

TEST_F(ProgramTest, EnterPressedTwiceAfterAceptarLeavesTheRunGoingOn)
{
    TypeTheFolders();
    ASSERT_NO_FATAL_FAILURE(StartRun());
    for (int press = 0; press < 2; ++press) {
        window->PressKey(VK_RETURN);
        ASSERT_NO_THROW(window->WaitUntilHandled()) << "the program did not outlive Enter " << press + 1;
    }
    ASSERT_TRUE(WaitUntil([this] { return RunEnded(); }, kRunTimeout)) << "the run did not end";
    EXPECT_FALSE(program->Ended(Milliseconds(0)));
    EXPECT_EQ(Commands(), WholeRunCommands());
}

// The second click reaches the window while the first command of the run
// it started waits: it must not start a run inside the run.
TEST_F(ProgramTest, TwoClicksQueuedOnAceptarRunOnce)
{
    TypeTheFolders();
    window->PostClicks(kIdAceptar, 2);
    ASSERT_TRUE(WaitUntil([this] { return !window->Enabled(kIdAceptar); }, kStepTimeout)) << "the run did not start";
    ASSERT_TRUE(WaitUntil([this] { return RunEnded(); }, kRunTimeout)) << "the run did not end";
    EXPECT_EQ(Commands(), WholeRunCommands());
}

} // namespace
