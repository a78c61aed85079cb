#include <gtest/gtest.h>

#include "command_line.h"
#include "failure_report.h"
#include "success_rule.h"
#include "fakes.h"
#include "table_list.h"

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

TEST(TableList, EveryKindOfLineEndEndsALine)
{
    EXPECT_EQ(SplitTableList("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTableList("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitTableList("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitTableList(" cliente \t\r\n"), (std::vector<std::string>{" cliente \t"}));
    EXPECT_TRUE(SplitTableList("").empty());
}

TEST(TableList, OneRuleForNamesBlankLinesAndTheTransactionsTable)
{
    const std::vector<ListedTable> tables = ListedTables(
        " \t\r\ncliente \r\nGMTRANS\r\ngmtrans \r\nPUB.gmtrans\r\nCLIENTE\r\npub.cliente\r\n..\\x\r\nD:a\r\nb/c\r\n"
        "audit.cliente\r\n",
        false);
    ASSERT_EQ(tables.size(), 10u);
    EXPECT_EQ(tables[0].name, "cliente");
    EXPECT_TRUE(tables[0].Runs());
    for (int i : {1, 2, 3})
        EXPECT_TRUE(tables[i].leftOut) << tables[i].line;
    for (int i : {4, 5})
        EXPECT_EQ(tables[i].problem, "repetida en la lista, se ha procesado una sola vez") << tables[i].line;
    for (int i : {6, 7, 8})
        EXPECT_EQ(tables[i].problem, "no es un nombre de tabla") << tables[i].line;
    EXPECT_TRUE(tables[9].Runs());
    EXPECT_TRUE(ListedTables("gmtrans\r\n", true)[0].Runs());
    EXPECT_TRUE(ListedTables(" \r\n\r\n", false).empty());
}

TEST(FailureReport, SuccessNeedsExitZeroAndTheMessageNumber)
{
    EXPECT_TRUE(JudgeCommand({0, "Binary Dump complete. (6254)\r\n"}, kDumpDone).succeeded);
    EXPECT_FALSE(JudgeCommand({1, "Binary Dump complete. (6254)\r\n"}, kDumpDone).succeeded);
    EXPECT_FALSE(JudgeCommand({0, "Binary Load complete. (6256)\r\n"}, kDumpDone).succeeded);
    EXPECT_FALSE(JudgeCommand({0, ""}, kIndexRebuildDone).succeeded);
    EXPECT_EQ(JudgeCommand({-1073741819, ""}, kDumpDone).reason,
              "terminó con el código -1073741819 (0xC0000005) y sin el mensaje de proceso completado (6254)");
    // The success message of a long output is at its end.
    CommandResult cut{0, "x"};
    cut.outputLeftOut = 1;
    cut.outputEnd = "Dumped 7 records. (13932)\nBinary Dump complete. (6254)\n";
    EXPECT_TRUE(JudgeCommand(cut, kDumpDone).succeeded);
    EXPECT_EQ(RecordsDumped(cut), 7);
    EXPECT_EQ(RecordsDumped({0, "Binary Dump complete. (6254)"}), -1);

    EXPECT_EQ(LastLine({3, "first\r\n** last one (99)\r\n\r\n"}), "** last one (99)");
    EXPECT_EQ(LastLine({9009, " \r\n"}), "");
}

TEST(FailureReport, WhatAMessageQuotesIsBoundedAndVisible)
{
    const std::string shown = Shown(std::string(50'000'000, 'x'));
    EXPECT_LT(shown.size(), 200u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "…");
    EXPECT_EQ(Shown("a\x1b" "b\tc"), "a\\x1Bb\\x09c");
    // Cut between characters, never inside one.
    EXPECT_EQ(Shown(std::string(300, 'a').replace(149, 2, "ñ")).substr(149, 5), "ñ…");
}

TEST(FailureReport, LongListsAreCut)
{
    std::vector<FailedTable> failed;
    for (int i = 1; i <= 12; ++i) {
        // Appending, rather than "t" + number, dodges a false -Wrestrict of GCC 12.
        const std::string number = std::to_string(i);
        failed.push_back({std::string("t").append(number), "terminó con el código 3",
                          std::string("** no (").append(number).append(")")});
    }
    const std::string text = FailedTablesMessage("korvane2", failed);
    EXPECT_EQ(text.rfind("Han fallado 12 tablas de la base de datos korvane2:\nt1: terminó con el código 3\n    ** no (1)\n",
                         0),
              0u);
    EXPECT_NE(text.find("\nt10: terminó con el código 3\n    ** no (10)\ny 2 más."), std::string::npos);
    EXPECT_EQ(text.find("t11"), std::string::npos);
    EXPECT_EQ(FailedTablesMessage("korvane", {{"cliente", "x", ""}}),
              "Ha fallado 1 tabla de la base de datos korvane:\ncliente: x");
}

} // namespace
