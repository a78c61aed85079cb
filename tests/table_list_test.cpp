#include <gtest/gtest.h>

#include "table_list.h"
#include "text_lines.h"

namespace {

TEST(TextLines, EveryKindOfLineEndEndsALine)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(" cliente \t\r\n"), (std::vector<std::string>{" cliente \t"}));
    EXPECT_TRUE(SplitLines("").empty());
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

} // namespace
