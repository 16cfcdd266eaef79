// Editing a line with xterm's keys, and the history of lines typed, checked through the values
// that the program reports for the lines as edited.
#include "terminal_sessions/pseudo_terminal.hpp"

#include <vector>

namespace {

// Lines typed, each at its prompt, and the values of their tasks in order.
struct Edit {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> values;
};

class EditedLines : public EditingTerminal, public ::testing::WithParamInterface<Edit> {};

// F5, Page Up, Insert, F1, Shift+Up, Alt+z and Ctrl+Right, which the editor knows nothing of.
const std::string kUnknownKeys = "\x1b[15~\x1b[5~\x1b[2~\x1bOP\x1b[1;2A\x1bz\x1b[1;5C";
// A byte that cannot continue the character begun drops that character; what follows counts.
const std::string kBrokenCharacter = "\xd1\xff";

// The lines a=1 to a=501, then Up as often, which goes back no further than 500 lines: a=2.
std::vector<std::string> upPastTheLast500Lines() {
  std::vector<std::string> lines;
  std::string ups;
  for (int i = 1; i <= 501; ++i) {
    lines.push_back("a=" + std::to_string(i) + "\n");
    ups += kUp;
  }
  lines.insert(lines.end(), {ups + "\n", "?=a\n"});
  return lines;
}

}  // namespace

// The values in order, and no other: a line edited wrong may hold a task more.
TEST_P(EditedLines, GiveTheValuesOfTheLinesAsChanged) {
  std::size_t typed = npos;
  for (const std::string& line : GetParam().lines) {
    typeLine(line);
    typed = std::min(typed, matched_);
  }
  matched_ = typed;
  for (const std::string& value : GetParam().values)
    ASSERT_TRUE(next("? = " + value + "\r\n")) << screen_;
  quit();
  EXPECT_EQ(occurrencesAfter(typed, "? = "), std::ssize(GetParam().values)) << screen_;
}

const Edit kEdits[] = {
    {"LeftMovesBack", {"?=2+3" + kLeft + kLeft + "1\n"}, {"24"}},  // ?=21+3
    {"HomeAndDelete", {"?=x2*5" + kHome + kLeft + kDelete + kDelete + kDelete + "?=4\n"}, {"210"}},
    {"CtrlUDeletesUpToTheCursor", {"bad?=7" + kLeft + kLeft + kLeft + kCtrlU + "\n"}, {"7"}},
    {"CtrlKDeletesFromTheCursor", {"?=8" + kLeft + kCtrlK + "9\n"}, {"9"}},
    {"AltBackspaceDeletesTheEditorsWord", {"?=1+2*33" + kAltBackspace + "5\n"}, {"6"}},  // ?=1+5
    // Ctrl+W deletes back to a blank, as a shell does, whatever the expression holds; blanks
    // before the cursor go with the word before them, from inside a word too: ?=5+1 ?=86.
    {"CtrlWDeletesBackToTheBlank", {"?=7 ?=1+2*33" + kCtrlW + "?=5\n"}, {"7", "5"}},
    {"CtrlWDeletesAWholeExpression", {"?=3 ?=sqrt(a-b)/c^2" + kCtrlW + "?=4\n"}, {"3", "4"}},
    {"CtrlWTakesBlanks", {"?=5+1 ?=2  " + kCtrlW + "?=6" + kLeft + kCtrlW + "?=8\n"}, {"6", "86"}},
    {"CtrlDDeletesUnderTheCursor", {"?=1" + kCtrlD + "+2" + kLeft + kLeft + kCtrlD + "\n"}, {"12"}},
    {"BackspaceTakesACharacterOfSeveralBytes", {"?=1+2я€" + kBackspace + kBackspace + "\n"}, {"3"}},
    {"ABrokenCharacterIsDropped", {"?=4+" + kBrokenCharacter + "5\n"}, {"9"}},
    {"NoKeySequenceBecomesText", {"?=1" + kUnknownKeys + "+2" + kUnknownKeys + "\n"}, {"3"}},
    // A key sequence drops the character begun before it; Ctrl+V quotes no Ctrl+A into the line.
    {"ASequenceDropsTheCharacterBegun", {"?=6\xd0\x1b[15~\x93\n"}, {"6"}},
    {"CtrlVInsertsNothing", {"?=5\x16\x01\n"}, {"5"}},
    // Typed again right after itself, a line is not kept a second time: four lines back is a=2.
    {"UpRecallsEarlierLines",
     {"a=2\n", "?=a*3\n", "a=5\n", kUp + kUp + "\n", "?=a*3\n", kUp + kUp + kUp + kUp + "\n",
      "r\n"},
     {"6", "15", "15", "6"}},
    {"UpRecallsTheLast500Lines", upPastTheLast500Lines(), {"2"}},
};
INSTANTIATE_TEST_SUITE_P(Keys, EditedLines, ::testing::ValuesIn(kEdits), rowName<Edit>);

// One Escape or two, alone, are a key that does nothing, once the editor has waited for more.
TEST_F(EditingTerminal, ALoneEscapeBecomesNoText) {
  for (const std::string escapes : {"\x1b", "\x1b\x1b"}) {
    typeLine("?=4" + escapes);
    std::this_thread::sleep_for(300ms);
    type("*2\n", "? = 8");
  }
  quit();
}

// Lines are read as UTF-8 in a locale that is not, or the editor could not keep a letter.
void useTheCLocale() {
  setenv("LC_ALL", "C", 1);
}
using EditingInTheCLocale = EditingTerminalAfter<useTheCLocale>;

TEST_F(EditingInTheCLocale, LettersReachTheLine) {
  typeLine("?=1+2\xd1\x8f\n", "cимвол: \xd1\x8f");
  typeLine("q\n");
  pressTheFinalKey();
}

// Ctrl+R searches the earlier lines as the search text is typed; Enter takes the line found.
TEST_F(EditingTerminal, CtrlRFindsAnEarlierLine) {
  typeLine("a=5\n");
  typeLine("?=a*7\n", "? = 35");
  typeLine("b=1\n");
  typeLine(kCtrlR + "a*", "?=a*7");  // the line found
  type("\n", "Считаю строку: ?=a*7");
  ASSERT_TRUE(next("? = 35")) << screen_;
  quit();
}
