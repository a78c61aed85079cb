#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "fakes.h"
#include "system_helpers.h"
#include "system_services.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using namespace std::string_literals;

TEST(SystemServices, LooksAtFilesAndFolders)
{
    TempFolder folder;
    const std::string file = JoinPath(folder.Path(), "korvane.lk");
    WriteTextFile(file, "");
    SystemServices system;

    EXPECT_EQ(system.Look(file), PathKind::File);
    EXPECT_EQ(system.Look(folder.Make("korvane1.lk")), PathKind::Folder);
    EXPECT_EQ(system.Look(JoinPath(folder.Path(), "korvane2.lk")), PathKind::Missing);
    EXPECT_EQ(system.Look(JoinPath(JoinPath(folder.Path(), "falta"), "korvane.lk")), PathKind::Missing);
#ifdef _WIN32
    EXPECT_THROW(system.Look("\\\\servidor-que-no-existe\\bd\\korvane.lk"), RunError);
#else
    // A name no file system accepts: the system cannot answer.
    EXPECT_THROW(system.Look(JoinPath(folder.Path(), std::string(300, 'x'))), RunError);
#endif
    // A share that is not there cannot be reached, whatever the system calls it.
    EXPECT_THROW(system.Look(Native("\\\\servidor-que-no-existe\\bd")), RunError);
}

TEST(SystemServices, SameFileHoweverItIsSpelt)
{
    TempFolder folder;
    const std::string bd = folder.Make("BD");
    const std::string other = folder.Make("otra");
    const std::string db = JoinPath(bd, "korvane.db");
    const std::string copy = JoinPath(other, "korvane.db");
    WriteTextFile(db, "datos");
    WriteTextFile(copy, "datos");
#ifdef _WIN32
    const std::string spellings[] = {JoinPath(folder.Path(), "bd"), bd + "\\", JoinPath(other, "..\\BD")};
#else
    const std::string hardLink = JoinPath(other, "enlace.db");
    const std::string symbolicLink = JoinPath(folder.Path(), "enlace");
    ASSERT_EQ(link(db.c_str(), hardLink.c_str()), 0);
    ASSERT_EQ(symlink(bd.c_str(), symbolicLink.c_str()), 0);
    EXPECT_TRUE(SystemServices().SameFile(db, hardLink));
    const std::string spellings[] = {bd + "/", JoinPath(other, "../BD"), symbolicLink};
#endif
    SystemServices system;
    for (const std::string& spelling : spellings)
        EXPECT_TRUE(system.SameFile(bd, spelling)) << spelling;
    EXPECT_FALSE(system.SameFile(db, copy));
    EXPECT_FALSE(system.SameFile(bd, other));
    EXPECT_FALSE(system.SameFile(JoinPath(folder.Path(), "falta"), JoinPath(folder.Path(), "falta")));
}

TEST(SystemServices, TableListsInEachEncoding)
{
    struct Case {
        const char* encoding;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "año\r\nPUB.cliente\r\n", "año\r\nPUB.cliente\r\n"},
        {"UTF-16 LE", "\xFF\xFE" "a\0\xF1\0o\0\r\0\n\0\x3D\xD8\x00\xDE"s, "año\r\n😀"},
        {"UTF-16 BE", "\xFE\xFF" "\0a\0\xF1\0o"s, "año"},
#ifdef _WIN32
        // The system's code page: 1252 on Spanish Windows and under Wine.
        {"ANSI", "a\xF1o\r\n", "año\r\n"},
#else
        {"unmarked", "año\n", "año\n"},
#endif
    };
    TempFolder folder;
    const std::string list = JoinPath(folder.Path(), "korvane.ttl");
    for (const Case& c : cases) {
        WriteTextFile(list, c.bytes);
        EXPECT_EQ(SystemServices().ReadTextFile(list), c.text) << c.encoding;
    }
}

TEST(SystemServices, RemovesOnlyWhatIsThere)
{
    TempFolder folder;
    const std::string file = JoinPath(folder.Path(), "salida.txt");
    WriteTextFile(file, "datos");
    SystemServices system;

    EXPECT_TRUE(system.RemoveFile(file));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(system.RemoveFile(file));
    EXPECT_FALSE(system.RemoveFile(folder.Make("carpeta")));
}

// The pause before a command is tried again is a wait for no command.
TEST(SystemServices, AWaitForNoCommandLastsItsTimeHandlingEvents)
{
    EventCounter events;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SystemServices().WaitForCommands({}, std::chrono::milliseconds(300), events.Handler()), std::nullopt);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_GE(events.Handled(), 1);
}

} // namespace
