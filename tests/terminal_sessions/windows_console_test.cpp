// Types at calculator.exe run by wine in a pseudo-terminal with a UTF-8 locale, where wine's
// console has the OEM code page 437 of an English Windows: the texts in Cyrillic, Tab
// completion, Ctrl+C and the other control keys, the console's own history and the final key.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

// calculator.exe run by wine at an xterm, whose keys wine's console reads as a Windows
// keyboard's. Wine switches the terminal to single keys only when the program first reads.
class WindowsConsole : public Terminal {
 protected:
  WindowsConsole() : Terminal({"xterm"}) {
    argument_ = CALCULATOR_WINDOWS_PROGRAM;
    patience_ = 30s;  // wine is slow to start
  }
  void SetUp() override {
    start();
    keysRaw_ = true;
    prompt_ = "Готов:";  // its blank is drawn as a step to the right
  }

  // Wine draws its console with control sequences and often writes a blank as an erasure and a
  // step to the right. Steps right become blanks; returns and every other sequence are left out.
  std::string shown() const override {
    std::string text;
    for (std::size_t k = 0; k < screen_.size(); ++k) {
      if (screen_.compare(k, 2, "\x1b[") != 0) {
        if (screen_[k] != '\r') text += screen_[k];
        continue;
      }
      const std::size_t end = screen_.find_first_not_of("0123456789:;<=>?", k + 2);
      if (end == npos) break;  // the rest of the sequence is still to come
      if (screen_[end] == 'C') text.append(std::max(1, std::atoi(&screen_[k + 2])), ' ');
      k = end;
    }
    return text;
  }

  void quit() {
    typeLine("q\r");
    pressTheFinalKey();
  }
};

}  // namespace

TEST_F(WindowsConsole, TheDialogueReadsInCyrillic) {
  ASSERT_TRUE(
      next("Курсовая работа: программа - калькулятор\nСтрока: имя=выражение без пробелов, "
           "задание - имя ?\nВведите выражение или команду, h - для помощи\n"))
      << shown();
  typeLine("a=2 ?=a*3\r", "Считаю строку: ?=a*3\nРезультаты расчёта: \n  a = 2\n  ? = 6\n");
  typeLine("b=2$\r", "Ошибка синтаксиса в строке 2: \nb=2$\nПозиция 3, cимвол: $\n");
  typeLine("l\r", "l\n  a=2\n  ?=a*3\n");
  typeLine("c\r", "Список очищен");
  typeLine(kUp + kUp + kUp + kUp);  // the console's own history
  typeAfter("a=2 ?=a*3", "\r", "Считаю строку: ?=a*3\nРезультаты расчёта: \n  a = 2\n  ? = 6\n");
  quit();
}

TEST_F(WindowsConsole, TabCompletesFunctionsNamesAndStoredExpressions) {
  typeLine("?=sq" + kTab);
  typeAfter("?=sqrt(", "16)\r", "? = 4");
  typeLine("alpha=3\r");
  typeLine("?=al" + kTab);
  typeAfter("?=alpha", "*2\r", "? = 6");
  // After "name=" a Tab brings back the stored expression, to be changed.
  typeLine("alpha=" + kTab);
  typeAfter("alpha=3", "+1\r");
  typeLine("r\r", "? = 8\n  alpha = 4\n");
  // Two candidates: the first Tab gives what they share, the second lists them below the line,
  // which is drawn again after the prompt.
  typeLine("alps=1\r");
  typeLine("?=al" + kTab);
  typeAfter("?=alp", kTab, "alpha  alps");
  typeAfter("Готов: ?=alp", "s+alpha\r", "? = 5");
  // Inside the line, the completion goes where the Tab was, and so does the cursor.
  typeLine("?=sq+1");
  typeAfter("?=sq+1", kLeft + kLeft + kTab);
  typeAfter("sqrt(+1", "9)\r", "? = 4");
  quit();
}

// A line without a word has the prompt written again, as at a POSIX terminal; Ctrl+C drops the
// line, one that a Tab has completed as well, with the prompt written again too. The editing
// keys that the console's line input leaves in the line as control characters are no text.
TEST_F(WindowsConsole, CtrlCDropsTheLineAndOtherControlKeysAreNoText) {
  for (const char* line : {"a=2\r", "\r", "\r"})
    typeLine(line);
  typeLine("?=a*100");
  typeAfter("?=a*100", kCtrlC, "^C\n");
  typeLine("?=a\x17\x15\x01\x05\x0b\x04\x12+1\r", "? = 3");
  typeLine("?=sq" + kTab);
  typeAfter("sqrt(", kCtrlC, "^C\n");
  typeLine("l\r");
  EXPECT_TRUE(readUntil("l\n  a=2\n  ?=a+1\nГотов:", matched_)) << "the list alone: " << shown();
  quit();
  EXPECT_EQ(shown().find("? = 200"), npos) << shown();
  EXPECT_EQ(shown().find("Ошибка"), npos) << shown();
}
