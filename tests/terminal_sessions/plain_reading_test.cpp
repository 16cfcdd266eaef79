// Where the program does not edit lines: TERM dumb, unknown or unset, or the output not a
// terminal. Lines are then read as the terminal's own line discipline delivers them.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

using WithoutTheEditor = Table<NamedStart>;

class OutputToAPipe : public Terminal {
 protected:
  OutputToAPipe() : Terminal({"xterm"}) {}
  void SetUp() override {
    ASSERT_EQ(pipe(output_), 0);
    start([&] { dup2(output_[1], STDOUT_FILENO); });
    close(output_[1]);
  }
  int output_[2] = {-1, -1};
};

}  // namespace

// The editor draws nothing, and waiting for the next line the terminal keeps its settings.
TEST_P(WithoutTheEditor, LinesAreReadAsTheyAreTyped) {
  typeLine("a=2 ?=a*3\n", "? = 6");
  ASSERT_TRUE(readUntil("? = 6\r\n" + kPrompt, 0)) << screen_;
  EXPECT_EQ(screen_.find("\rГотов:"), npos) << "the editor drew: " << screen_;
  std::this_thread::sleep_for(200ms);  // time enough for a terminal switched over by mistake
  expectSettingsAsFound();
  quit();
}

// A terminal that the terminal database does not know cannot be driven, nor can one of no type.
const NamedStart kTerminalTypes[] = {
    {"Dumb", kDumb},
    {"UnknownToTheTerminalDatabase", {"no-such-terminal"}},
    {"NoTerm", {nullptr}},
};
INSTANTIATE_TEST_SUITE_P(TerminalTypes, WithoutTheEditor, ::testing::ValuesIn(kTerminalTypes),
                         rowName<NamedStart>);

// Typed at a terminal with the output going to a file or a pipe: no editor, whose drawing would
// land in the output; the output is the dialogue alone.
TEST_F(OutputToAPipe, HoldsTheDialogueAlone) {
  type("a=2 ?=a*3\nq\n");
  std::string written;
  const bool ended =
      eventually([&] { return written.find("Press Enter") != npos; }, output_[0], &written);
  close(output_[0]);
  ASSERT_TRUE(ended) << written;
  EXPECT_EQ(written.substr(written.find(kPrompt)),
            "Готов: Готов: Считаю строку: ?=a*3\nРезультаты расчёта: \n  a = 2\n  ? = 6\n"
            "Готов: Press Enter");
  ASSERT_TRUE(waitForRawMode());
  type("x");
  expectCleanExit();
}

// A report at a terminal shows the typed line's control characters in caret notation rather than
// sending them to be obeyed; positions still count bytes. Ctrl+V quotes DEL, which would erase.
TEST_F(Terminal, AReportShowsControlCharactersInCaretNotation) {
  typeLine("?=1\x1b[A\x07\x16\x7f\xc2\x9b\xc2\x80\xc2\x9f\n",
           "строке 0: \r\n?=1^[[A^G^?M-^[M-^@M-^_\r\nПозиция 3, cимвол: ^[\r\n");
  typeLine("q\n");
  pressTheFinalKey();
}
