#include <chrono>

#include <gtest/gtest.h>

#include "command_line.h"
#include "command_runner.h"
#include "system_helpers.h"

namespace {

void NoEvents() {}

std::string Proutil()
{
    return QuoteArgument(JoinPath(StandinFolder(), "proutil"));
}

TEST(CommandRunner, ReturnsExitCodeAndAllOutput)
{
#ifdef _WIN32
    const CommandResult result = EjecutaComando("echo uno& echo dos 1>&2& exit /b 3", NoEvents);
#else
    const CommandResult result = EjecutaComando("echo uno; echo dos >&2; exit 3", NoEvents);
#endif
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.output.find("uno"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("dos"), std::string::npos) << result.output;

    const CommandResult missing = EjecutaComando(Proutil() + " nada.db -C dump cliente x", NoEvents);
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
    const CommandResult result = EjecutaComando(Proutil() + " " + QuoteArgument(db) + " -C idxbuild", NoEvents);
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

    EjecutaComando(DumpCommand(dlc, db, "korvane", "cliente", folder.Path()), NoEvents);
    EjecutaComando(LoadCommand(dlc, db, "korvane2", "año", folder.Path()), NoEvents);
    EjecutaComando(IndexRebuildCommand(dlc, db, "korvane1"), NoEvents);

    const std::string korvane = JoinPath(db, "korvane");
    EXPECT_EQ(ReadTextFile(log), "[" + korvane + ".db] [-C] [dump] [cliente] [" + JoinPath(folder.Path(), "korvane") + "]\n" +
                                 "[" + korvane + "2.db] [-C] [load] [año] [" +
                                 JoinPath(JoinPath(folder.Path(), "korvane2"), "año.bd") + "]\n" +
                                 "[" + korvane + "1.db] [-C] [idxbuild] [all]\n");
}

TEST(CommandRunner, WaitsForTheEndWhileHandlingEvents)
{
    TempFolder folder;
    const std::string db = JoinPath(folder.Path(), "korvane.db");
    standin::WriteDatabase(standin::PathFromUtf8(db), {{{"cliente", {}, {"1|Ana"}}}});
    ScopedEnvironment slow("PROUTIL_DELAY_MS", "600");

    int events = 0;
#ifdef _WIN32
    // Window events already waiting must be handled, not left for after.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    const auto processEvents = [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            events += message.message == WM_APP;
    };
#else
    const auto processEvents = [&] { ++events; };
#endif
    const auto start = std::chrono::steady_clock::now();
    const CommandResult result =
        EjecutaComando(Proutil() + " " + QuoteArgument(db) + " -C dump cliente " + QuoteArgument(folder.Path()),
                       processEvents);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(Exists(JoinPath(folder.Path(), "cliente.bd")));
    EXPECT_GE(elapsed, std::chrono::milliseconds(600));
    EXPECT_GE(events, 1);
}

#ifdef _WIN32
TEST(CommandRunner, UnsetComSpecIsAnError)
{
    ScopedEnvironment unset("ComSpec", nullptr);
    EXPECT_THROW(EjecutaComando("exit /b 0", NoEvents), RunError);
}
#endif

} // namespace
