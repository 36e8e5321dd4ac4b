#include <gtest/gtest.h>

#include "common/console.h"

// Only a program alone on a console that is really there, for reading a key
// and for showing the prompt, waits: started from Explorer.
TEST(Console, WaitsForAKeyOnlyWhenAloneOnItsConsole) {
  EXPECT_TRUE(ShouldWaitForKey(1, true, true));
  // From a command window or a script: the shell shares the console.
  EXPECT_FALSE(ShouldWaitForKey(2, true, true));
  EXPECT_FALSE(ShouldWaitForKey(5, true, true));
  // Output or input redirected, even on a console of its own.
  EXPECT_FALSE(ShouldWaitForKey(1, true, false));
  EXPECT_FALSE(ShouldWaitForKey(1, false, true));
  // No console at all (GetConsoleProcessList fails with 0).
  EXPECT_FALSE(ShouldWaitForKey(0, false, false));
}

// The way technicians type or drop a card: a quoted path may end in a
// backslash, and nothing after it is swallowed.
TEST(Console, CommandLinesSplitWithBackslashesAsThemselves) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("cardcheck.exe \"E:\\\""), (Words{"cardcheck.exe", "E:\\"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\t\\cardcheck.exe\" \"E:\\\" --json"),
            (Words{"C:\\Program Files\\t\\cardcheck.exe", "E:\\", "--json"}));
  EXPECT_EQ(SplitCommandLine("cardcheck  --json\t\"D:\\备用 卡\\声音\\\\\" \"\""),
            (Words{"cardcheck", "--json", "D:\\备用 卡\\声音\\\\", ""}));
  EXPECT_EQ(SplitCommandLine("cardcheck D:\\a\" b\"\\c"), (Words{"cardcheck", "D:\\a b\\c"}));
  EXPECT_EQ(SplitCommandLine(""), Words{});
}
