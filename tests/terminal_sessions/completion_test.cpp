// Tab completion in the editor: commands, functions, stored names and expressions, the bell
// and the list of choices.
#include "terminal_sessions/pseudo_terminal.hpp"

// A Tab that leaves one choice completes it and rings no bell, nor does one on a word already
// whole. After "name=" it brings back the stored expression, to be changed; at a line's start a
// stored name completes, and the line typed replaces the stored one.
TEST_F(EditingTerminal, TabCompletesFunctionsNamesAndStoredExpressions) {
  typeLine("alpha=2*8\n");
  typeLine("?=sq" + kTab + "al" + kTab + ")\n", "? = 4");  // ?=sqrt(alpha)
  typeLine("alpha=" + kTab + kBackspace + "18\n");         // alpha=2*18
  typeLine("r\n", "? = 6");
  typeLine("al" + kTab + "9\n");  // alpha=9
  typeLine("r\n", "? = 3");
  typeLine("?=alpha" + kTab + "+1\n", "? = 10");
  EXPECT_EQ(screen_.find(kBell), npos) << screen_;
  quit();
}

// A second Tab lists only where the first left the line and the cursor: with another line or
// cursor it rings again, even where text and column side by side would read the same. Ten names
// share "counter": the Tab after it rings, the second lists them in rows of seven at 80 columns.
TEST_F(EditingTerminal, ASecondTabListsWhereTheFirstRang) {
  typeLine("?=111+222+55" + kLeft + kLeft + kTab, kBell);  // after "+": every function and name
  type(kEnd + "1" + kHome + kTab, kBell);  // "?=111+222+551", cursor 0: every command
  type(kEnd + "\n", "? = 884");
  for (int i = 1; i <= 10; ++i)
    typeLine("counter" + std::to_string(i) + "=" + std::to_string(i) + "\n");
  // Tab adds what every candidate shares and no more; an insertion that leaves several is a first
  // Tab, so the next one lists them.
  typeLine("?=cou" + kTab + kTab, "counter10\r\n");
  type("5\n", "? = 5");
  typeLine("?=counter" + kTab, kBell);
  const std::size_t afterBell = matched_;
  type(kTab,
       "\r\ncounter1   counter2   counter3   counter4   counter5   counter6   counter7\r\n"
       "counter8   counter9   counter10\r\n");
  ASSERT_TRUE(next(kPrompt + "?=counter")) << "the prompt and the line after the list: " << screen_;
  type("10*2\n", "? = 20");
  quit();
  EXPECT_EQ(occurrencesAfter(afterBell, "counter1   "), 1) << "lists: " << screen_;
  EXPECT_EQ(screen_.find("help"), npos) << "a list after one Tab elsewhere: " << screen_;
}
