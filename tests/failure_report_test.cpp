#include <gtest/gtest.h>

#include "failure_report.h"

namespace {

TEST(FailureReport, TheLastLineIsTheLastThatSaysSomething)
{
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
