// The prompt for each word awaited, and Ctrl+C, which drops the line being typed and asks for
// the word again, with the line editor and without it.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

using EitherReader = StartedFrom<NamedStart>;

}  // namespace

// Without the editor Ctrl+C drops the line as the terminal's own line editing does. Either way
// the word is asked for again with one prompt on a new row, after a line of several words too,
// and so it is after Ctrl+C, Enter or blanks on an empty line; nothing of it ends the program,
// and the stored lines stay.
TEST_P(EitherReader, CtrlCDropsTheLineAndTheWordIsAskedForAgain) {
  typeLine("a=5 b=1\n");
  // The next screen line starts with a prompt for each word awaited; the editor draws both again.
  ASSERT_TRUE(awaitLine((editing_ ? "\r" : "") + kPrompt + kPrompt)) << screen_;
  type("a=7 ?=b+");
  ASSERT_TRUE(next("?=b+"));  // typed and shown before Ctrl+C flushes the input
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n")) << screen_;
  const std::size_t afterCtrlC = matched_;
  expectPromptOnANewRow();
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n")) << screen_;
  EXPECT_EQ(occurrences(kPrompt, afterCtrlC, matched_), 1) << screen_;
  expectPromptOnANewRow();
  type("\n");
  expectPromptOnANewRow();
  type("  \n");
  expectPromptOnANewRow();
  EXPECT_TRUE(stillRunning());
  type("?=a\n");
  ASSERT_TRUE(next("? = 5")) << screen_;
  quit();
}

const NamedStart kReaders[] = {{"Plain", kDumb}, {"Editor", kXterm}};
INSTANTIATE_TEST_SUITE_P(Readers, EitherReader, ::testing::ValuesIn(kReaders), rowName<NamedStart>);

// Ctrl+C in the middle of the line shows the whole line, then "^C" after it.
TEST_F(EditingTerminal, CtrlCInsideTheLineMarksItsEnd) {
  typeLine("?=12");
  ASSERT_TRUE(next("?=12"));
  type(kLeft + kLeft);
  ASSERT_TRUE(next("\b\b"));  // the cursor on the "1"
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n")) << screen_;
  EXPECT_EQ(screen_.find("^C1"), npos) << screen_;
  typeLine("?=3\n");
  ASSERT_TRUE(next("? = 3")) << screen_;
  quit();
}

// Each word is asked for with one prompt, written before the editor reads its line; the editor
// then draws the screen line from the row's start, the prompts of the line's words with it.
TEST_F(EditingTerminal, EachWordIsAskedForWithOnePrompt) {
  const std::string oneWordLater = kPrompt + kEditorPrompt;
  ASSERT_TRUE(awaitLine("h - для помощи\r\n" + oneWordLater)) << screen_;
  type("a=1\n");
  ASSERT_TRUE(awaitLine("a=1\r\n" + oneWordLater)) << screen_;
  type("a=1  b=2 ?=a+b\n");
  ASSERT_TRUE(next("a=1  b=2 ?=a+b\r\n" + kPrompt + kPrompt + "Считаю строку: ?=a+b\r\n"))
      << screen_;
  ASSERT_TRUE(awaitLine("? = 3\r\n" + oneWordLater)) << screen_;
  type("c=1 d=2\n");
  EXPECT_TRUE(readUntil("c=1 d=2\r\n" + kPrompt + kPrompt + "\r" + kPrompt + kPrompt, matched_))
      << screen_;
  quit();
}
