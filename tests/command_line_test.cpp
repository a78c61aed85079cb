#include <gtest/gtest.h>

#include "command_line.h"
#include "failure_report.h"
#include "fakes.h"
#include "table_list.h"

namespace {

TEST(CommandLine, OrdinaryFoldersGiveTheUsualLinesUnchanged)
{
    const std::string dlc = Native("C:\\korv\\dlc\\bin");
    EXPECT_EQ(DumpCommand(dlc, Native("D:\\bd"), "korvane", "cliente", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump cliente E:\\vol\\korvane"));
    EXPECT_EQ(LoadCommand(dlc, Native("F:\\bd"), "korvane1", "cliente", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane1.db -C load cliente E:\\vol\\korvane1\\cliente.bd"));
    EXPECT_EQ(IndexRebuildCommand(dlc, Native("F:\\bd"), "korvane2"),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane2.db -C idxbuild all"));
    // Blanks around a table name are separators, not part of the name.
    EXPECT_EQ(LoadCommand(dlc, Native("F:\\bd"), "korvane", " cliente  ", Native("E:\\vol")),
              Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load cliente E:\\vol\\korvane\\cliente.bd"));
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
              Native("C:\\dlc\\proutil F:\\bd\\korvane.db -C load ") + QuoteArgument("a&b") + " " +
                  QuoteArgument(Native("E:\\vol\\korvane\\a&b.bd")));
    EXPECT_NE(QuoteArgument("a&b"), "a&b");
    EXPECT_FALSE(CanPassIntact("E:\\vol\r\nformat c:"));
    EXPECT_FALSE(CanPassIntact(std::string("E:\\vol\0x", 8)));
}

TEST(TableList, EveryKindOfLineEndEndsALine)
{
    EXPECT_EQ(SplitTableList("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTableList("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitTableList("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitTableList(" cliente \t\r\n"), (std::vector<std::string>{" cliente \t"}));
    EXPECT_TRUE(SplitTableList("").empty());
    EXPECT_TRUE(IsBlankLine(" \t "));
    EXPECT_FALSE(IsBlankLine(" x "));
}

TEST(FailureReport, SuccessNeedsExitZeroAndTheMessageNumber)
{
    EXPECT_TRUE(CommandSucceeded({0, "Binary Dump complete. (6254)\r\n"}, kDumpDone));
    EXPECT_FALSE(CommandSucceeded({1, "Binary Dump complete. (6254)\r\n"}, kDumpDone));
    EXPECT_FALSE(CommandSucceeded({0, "Binary Load complete. (6256)\r\n"}, kDumpDone));
    EXPECT_FALSE(CommandSucceeded({0, ""}, kIndexRebuildDone));

    EXPECT_EQ(FailureDetail({3, "first\r\n** last one (99)\r\n\r\n"}), "** last one (99)");
    EXPECT_EQ(FailureDetail({3, "only"}), "only");
    EXPECT_EQ(FailureDetail({9009, " \r\n"}), "terminó con el código 9009");
    EXPECT_EQ(FailureDetail({0, ""}), "terminó sin el mensaje de proceso completado");
}

TEST(FailureReport, LongListsAreCut)
{
    std::vector<FailedTable> failed;
    for (int i = 1; i <= 12; ++i) {
        // Appending, rather than "t" + number, dodges a false -Wrestrict of GCC 12.
        const std::string number = std::to_string(i);
        failed.push_back({std::string("t").append(number), std::string("** no (").append(number).append(")")});
    }
    const std::string text = FailedTablesMessage("korvane2", failed);
    EXPECT_EQ(text.rfind("Han fallado 12 tablas de la base de datos korvane2:\nt1: ** no (1)\n", 0), 0u);
    EXPECT_NE(text.find("\nt10: ** no (10)\ny 2 más."), std::string::npos);
    EXPECT_EQ(text.find("t11"), std::string::npos);
    EXPECT_EQ(FailedTablesMessage("korvane", {{"cliente", "x"}}),
              "Ha fallado 1 tabla de la base de datos korvane:\ncliente: x");
}

} // namespace
