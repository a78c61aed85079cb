#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "command_line.h"
#include "command_runner.h"
#include "system_helpers.h"

namespace {

void NoEvents() {}

CommandResult RunLine(const std::string& line)
{
    return EjecutaComando(Command{line, {}, {}, {}}, NoEvents);
}

std::string Proutil()
{
    return QuoteArgument(JoinPath(StandinFolder(), "proutil"));
}

// A command that prints a file's bytes as they are.
std::string PrintFile(const std::string& path)
{
#ifdef _WIN32
    return "type " + QuoteArgument(path);
#else
    return "cat " + QuoteArgument(path);
#endif
}

// How a command ended for its caller: "nada" when it raised nothing, else
// the kind of error and its text.
std::string Raised(const Command& command)
{
    try {
        EjecutaComando(command, NoEvents);
        return "nada";
    } catch (const CommandNotStarted& error) {
        return std::string("CommandNotStarted: ") + error.what();
    } catch (const RunError& error) {
        return std::string("RunError: ") + error.what();
    }
}

TEST(CommandRunner, ReturnsExitCodeAndAllOutput)
{
#ifdef _WIN32
    const CommandResult result = RunLine("echo uno& echo dos 1>&2& exit /b 3");
#else
    const CommandResult result = RunLine("echo uno; echo dos >&2; exit 3");
#endif
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.output.find("uno"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("dos"), std::string::npos) << result.output;

    const CommandResult missing = RunLine(Proutil() + " nada.db -C dump cliente x");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.output.find("** "), std::string::npos) << missing.output;
}

// A utility that asks a question on its hidden console must get end of
// input, not wait for an answer nobody can give.
TEST(CommandRunner, InputIsEmpty)
{
    TempFolder folder;
    const std::string db = JoinPath(folder.Path(), "korvane.db");
    standin::WriteDatabase(standin::PathFromUtf8(db), {{{"cliente", {{"cliente-id", false}}, {"1|Ana"}}}});
    const CommandResult result = RunLine(Proutil() + " " + QuoteArgument(db) + " -C idxbuild");
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(standin::ReadDatabase(standin::PathFromUtf8(db)).tables[0].indexes[0].active);
}

TEST(CommandRunner, FoldersReachTheUtilityIntact)
{
    TempFolder folder;
    const std::string db = folder.Make("datos origen & cía");
    const std::string dlc = StandinFolder();
    const std::string log = JoinPath(folder.Path(), "proutil.log");
    ScopedEnvironment logging("PROUTIL_LOG", log.c_str());

    RunLine(DumpCommand(dlc, db, "korvane", "cliente", folder.Path()));
    RunLine(LoadCommand(dlc, db, "korvane2", "año", folder.Path()));
    RunLine(IndexRebuildCommand(dlc, db, "korvane1"));

    const std::string korvane = JoinPath(db, "korvane");
    EXPECT_EQ(ReadTextFile(log), "[" + korvane + ".db] [-C] [dump] [cliente] [" + JoinPath(folder.Path(), "korvane") + "]\n" +
                                 "[" + korvane + "2.db] [-C] [load] [" +
                                 JoinPath(JoinPath(folder.Path(), "korvane2"), "año.bd") + "]\n" +
                                 "[" + korvane + "1.db] [-C] [idxbuild] [all]\n");
}

TEST(CommandRunner, WaitsForTheEndWhileHandlingEvents)
{
    TempFolder folder;
    const std::string db = JoinPath(folder.Path(), "korvane.db");
    standin::WriteDatabase(standin::PathFromUtf8(db), {{{"cliente", {}, {"1|Ana"}}}});
    ScopedEnvironment slow("PROUTIL_DELAY_MS", "600");

    EventCounter events;
    const std::string line = Proutil() + " " + QuoteArgument(db) + " -C dump cliente " + QuoteArgument(folder.Path());
    const auto start = std::chrono::steady_clock::now();
    const CommandResult result = EjecutaComando(Command{line, {}, {}, {}}, events.Handler());
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(Exists(JoinPath(folder.Path(), "cliente.bd")));
    EXPECT_GE(elapsed, std::chrono::milliseconds(600));
    EXPECT_GE(events.Handled(), 1);
}

// The command's folder and variables are the command's alone: the program
// and the commands after it keep the program's own.
TEST(CommandRunner, FolderAndVariablesReachOnlyTheCommand)
{
    TempFolder folder;
    ScopedEnvironment program("VACIALLENA_PRUEBA", "del programa");
    const std::filesystem::path ownFolder = std::filesystem::current_path();
#ifdef _WIN32
    // Variable names ignore letter case on Windows: the command's replaces the program's.
    const std::string show = "echo [%VACIALLENA_PRUEBA%]& cd";
    const std::string name = "vaciallena_prueba";
#else
    const std::string show = "echo \"[$VACIALLENA_PRUEBA]\"; pwd";
    const std::string name = "VACIALLENA_PRUEBA";
#endif
    const CommandResult own = EjecutaComando(Command{show, folder.Path(), {{name, "de la orden"}}, {}}, NoEvents);
    EXPECT_NE(own.output.find("[de la orden]"), std::string::npos) << own.output;
    EXPECT_NE(own.output.find(folder.Path()), std::string::npos) << own.output;

    EXPECT_NE(RunLine(show).output.find("[del programa]"), std::string::npos);
    EXPECT_EQ(std::filesystem::current_path(), ownFolder);
    EXPECT_TRUE(Raised(Command{show, JoinPath(folder.Path(), "no existe"), {}, {}}).starts_with("CommandNotStarted"));
}

// Whatever a command prints, only its beginning and its end are kept, each
// cut between two characters, with the number of bytes between them.
TEST(CommandRunner, LongOutputKeepsItsBeginningAndEnd)
{
    TempFolder folder;
    const std::string file = JoinPath(folder.Path(), "salida.txt");
    std::string text = "<";
    for (int i = 0; i < 600000; ++i)
        text += "ñ";
    text += ">";
    WriteTextFile(file, text);
    const CommandResult result = RunLine(PrintFile(file));

    // Both cuts fall inside an ñ, which is left out whole.
    EXPECT_TRUE(result.output == text.substr(0, kOutputKeptBytes - 1));
    EXPECT_TRUE(result.outputEnd == text.substr(text.size() - kOutputKeptBytes + 1));
    EXPECT_EQ(result.outputLeftOut, text.size() - 2 * kOutputKeptBytes + 2);
#ifdef _WIN32
    // Each part that is not UTF-8 is read in the console's code page, where
    // byte A4 is ñ.
    WriteTextFile(file, std::string(2 * kOutputKeptBytes + 1000, '\xA4'));
    const CommandResult oem = RunLine(PrintFile(file));
    EXPECT_EQ(oem.output.substr(0, 2), "ñ");
    EXPECT_EQ(oem.outputEnd.size(), 2 * kOutputKeptBytes);
    EXPECT_EQ(oem.outputLeftOut, 1000u);
#endif
}

// The file keeps every byte the command printed, however many, in place of
// what it held; the result stays bounded.
TEST(CommandRunner, OutputFileKeepsTheWholeOutput)
{
    TempFolder folder;
    const std::string printed = JoinPath(folder.Path(), "impreso.txt");
    const std::string kept = JoinPath(folder.Path(), "salida.txt");
    std::string text;
    for (int line = 0; text.size() <= 2 * kOutputKeptBytes; ++line)
        text += "línea " + std::to_string(line) + "\r\n";
    WriteTextFile(printed, text);
    WriteTextFile(kept, text + text);

    const CommandResult result = EjecutaComando(Command{PrintFile(printed), {}, {}, kept}, NoEvents);
    EXPECT_TRUE(ReadTextFile(kept) == text);
    EXPECT_GT(result.outputLeftOut, 0u);
}

// Only a command interpreter that never started may be tried again: a
// command that ran, however it ended, must not run twice.
TEST(CommandRunner, WhatStartedIsNeverNotStarted)
{
    TempFolder folder;
    const std::string unwritable = JoinPath(JoinPath(folder.Path(), "no existe"), "salida.txt");
    EXPECT_EQ(Raised(Command{"exit 3", {}, {}, {}}), "nada");
    const std::string raised = Raised(Command{"exit 0", {}, {}, unwritable});
    EXPECT_TRUE(raised.starts_with("RunError: ") && raised.find(unwritable) != std::string::npos) << raised;
}

// Commands side by side: the wait returns the one that ended, whichever it
// is, and each keeps its own output.
TEST(CommandRunner, WaitsForWhicheverOfSeveralCommandsEnds)
{
    TempFolder folder;
    const std::string hold = JoinPath(folder.Path(), "espera");
    WriteTextFile(hold, "");
    const std::unique_ptr<StartedCommand> held = StartCommand(Command{Proutil(), {}, {{"PROUTIL_HOLD_FILE", hold}}, {}});
    const std::unique_ptr<StartedCommand> quick = StartCommand(Command{"exit 3", {}, {}, {}});
    EXPECT_EQ(WaitForCommands({held.get(), quick.get()}, std::nullopt, NoEvents), std::optional<std::size_t>(1));
    EXPECT_EQ(FinishCommand(*quick).exitCode, 3);
    // Held for as long as the file is there: the time is up first.
    EXPECT_EQ(WaitForCommands({held.get()}, std::chrono::milliseconds(50), NoEvents), std::nullopt);
    std::filesystem::remove(standin::PathFromUtf8(hold));
    EXPECT_EQ(WaitForCommands({held.get()}, std::nullopt, NoEvents), std::optional<std::size_t>(0));
    EXPECT_NE(FinishCommand(*held).output.find("(1403)"), std::string::npos);
}

#ifdef _WIN32
TEST(CommandRunner, UnsetComSpecIsAnError)
{
    ScopedEnvironment unset("ComSpec", nullptr);
    EXPECT_TRUE(Raised(Command{"exit /b 0", {}, {}, {}}).starts_with("RunError: "));
}
#endif

} // namespace
