// Tab completion in the editor: commands, functions, stored names and expressions, the bell
// and the list of choices.
#include "terminal_sessions/pseudo_terminal.hpp"

// A Tab that leaves one choice completes it and rings no bell, nor does one on a word already
// whole. After "name=" it brings back the stored expression, to be changed; at a line's start a
// stored name completes, and the line typed replaces the stored one.
TEST_F(EditingTerminal, TabCompletesFunctionsNamesAndStoredExpressions) {
  typeLine("alpha=2*8\n");
  typeLine("?=sq" + kTab + "al" + kTab + ")\n");  // ?=sqrt(alpha)
  ASSERT_TRUE(next("? = 4")) << screen_;
  typeLine("alpha=" + kTab + kBackspace + "18\n");  // alpha=2*18
  typeLine("r\n");
  ASSERT_TRUE(next("? = 6")) << screen_;
  typeLine("al" + kTab + "9\n");  // alpha=9
  typeLine("r\n");
  ASSERT_TRUE(next("? = 3")) << screen_;
  typeLine("?=alpha" + kTab + "+1\n");
  ASSERT_TRUE(next("? = 10")) << screen_;
  EXPECT_EQ(screen_.find(kBell), npos) << screen_;
  quit();
}

// A second Tab lists only where the first left the line and the cursor; another line, or the
// cursor elsewhere, rings again, even where the line's text and the cursor's column written
// side by side would read the same. Ten names that share "counter": the first Tab after the
// whole shared part rings, the second lists them all in rows of seven at 80 columns, and the
// line is drawn again below the list.
TEST_F(EditingTerminal, ASecondTabListsWhereTheFirstRang) {
  typeLine("?=111+222+55" + kLeft + kLeft + kTab);  // after "+": every function and name
  ASSERT_TRUE(next(kBell)) << screen_;
  type(kEnd + "1" + kHome + kTab);  // "?=111+222+551", cursor 0: every command
  ASSERT_TRUE(next(kBell)) << screen_;
  type(kEnd + "\n");
  ASSERT_TRUE(next("? = 884")) << screen_;
  for (int i = 1; i <= 10; ++i)
    typeLine("counter" + std::to_string(i) + "=" + std::to_string(i) + "\n");
  typeLine("?=cou" + kTab + "5\n");  // Tab adds what every candidate shares and no more
  ASSERT_TRUE(next("? = 5")) << screen_;
  typeLine("?=counter" + kTab);
  ASSERT_TRUE(next(kBell)) << screen_;
  const std::size_t afterBell = matched_;
  type(kTab);
  ASSERT_TRUE(
      next("\r\ncounter1   counter2   counter3   counter4   counter5   counter6   "
           "counter7\r\ncounter8   counter9   counter10\r\n"))
      << screen_;
  ASSERT_TRUE(next(kPrompt + "?=counter")) << "the prompt and the line after the list: " << screen_;
  type("10*2\n");
  ASSERT_TRUE(next("? = 20")) << screen_;
  quit();
  EXPECT_EQ(occurrencesAfter(afterBell, "counter1   "), 1) << "lists: " << screen_;
  EXPECT_EQ(screen_.find("help"), npos) << "a list after one Tab elsewhere: " << screen_;
}
