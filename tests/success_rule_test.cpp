#include <gtest/gtest.h>

#include "success_rule.h"

namespace {

TEST(SuccessRule, SuccessNeedsExitZeroAndTheMessageNumber)
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
}

} // namespace
