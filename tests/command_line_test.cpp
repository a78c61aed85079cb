#include <gtest/gtest.h>

#include "command_line.h"
#include "fakes.h"

namespace {

TEST(CommandLine, OrdinaryFoldersGiveTheUsualLinesUnchanged)
{
    const std::string dlc = Native("C:\\korv\\dlc\\bin");
    EXPECT_EQ(DumpCommand(dlc, Native("D:\\bd"), "korvane", "cliente", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump cliente E:\\vol\\korvane"));
    // One word after load: the file the dump wrote, named as proutil names it.
    EXPECT_EQ(LoadCommand(dlc, Native("F:\\bd"), "korvane1", "cliente", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane1.db -C load E:\\vol\\korvane1\\cliente.bd"));
    EXPECT_EQ(LoadCommand(dlc, Native("F:\\bd"), "korvane", "PUB.cliente", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load E:\\vol\\korvane\\cliente.bd"));
    EXPECT_EQ(DumpFileName("audit.Registro"), "audit_Registro.bd");
    EXPECT_EQ(IndexRebuildCommand(dlc, Native("F:\\bd"), "korvane2"),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane2.db -C idxbuild all"));
    // Letters beyond ASCII need no quotes.
    EXPECT_EQ(QuoteArgument(Native("D:\\compañía\\año")), Native("D:\\compañía\\año"));
}

TEST(CommandLine, FoldersWithBlanksOrSpecialCharactersStayOneArgument)
{
#ifdef _WIN32
    EXPECT_EQ(DumpCommand("C:\\Program Files\\dlc\\bin", "D:\\datos origen & cía", "korvane", "cliente", "E:\\vol"),
              "\"C:\\Program Files\\dlc\\bin\\proutil\" \"D:\\datos origen & cía\\korvane.db\" -C dump cliente "
              "E:\\vol\\korvane");
    EXPECT_EQ(QuoteArgument("E:\\a(b)^c|d>e"), "\"E:\\a(b)^c|d>e\"");
    EXPECT_FALSE(CanPassIntact("E:\\100%PATH%"));
    EXPECT_FALSE(CanPassIntact("E:\\a\"b"));
#else
    EXPECT_EQ(DumpCommand("/opt/dlc bin", "/srv/datos origen & cía", "korvane", "cliente", "/vol"),
              "'/opt/dlc bin/proutil' '/srv/datos origen & cía/korvane.db' -C dump cliente /vol/korvane");
    EXPECT_EQ(QuoteArgument("/srv/it's $HOME"), "'/srv/it'\\''s $HOME'");
    EXPECT_TRUE(CanPassIntact("/srv/100%PATH%"));
#endif
    EXPECT_EQ(LoadCommand(Native("C:\\dlc"), Native("F:\\bd"), "korvane", "a&b", Native("E:\\vol")),
              Native("C:\\dlc\\proutil F:\\bd\\korvane.db -C load ") + QuoteArgument(Native("E:\\vol\\korvane\\a&b.bd")));
    EXPECT_NE(QuoteArgument("a&b"), "a&b");
    EXPECT_FALSE(CanPassIntact("E:\\vol\r\nformat c:"));
    EXPECT_FALSE(CanPassIntact(std::string("E:\\vol\0x", 8)));
}

} // namespace
