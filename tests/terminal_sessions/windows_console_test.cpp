// Types at calculator.exe run by wine in a pseudo-terminal with a UTF-8 locale, where wine's
// console has the OEM code page 437 of an English Windows: the texts in Cyrillic, Tab
// completion, Ctrl+C, the console's own history and the final key.
#include <cstdlib>

#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

// The keys are xterm's (pseudo_terminal.hpp); wine's console reads them as a Windows keyboard's.
// The prompt without its blank, which wine often draws as an erasure and a step to the right.
const std::string kPromptWord = "Готов:";

// The text that the terminal shows, near enough to look for words in it: wine draws its console
// with control sequences and often writes a blank as an erasure and a step to the right. Steps
// right become blanks; returns and every other control sequence are left out.
std::string shownText(const std::string& screen) {
  std::string text;
  for (std::size_t k = 0; k < screen.size(); ++k) {
    if (screen[k] == '\r') continue;
    if (screen[k] != '\x1b' || k + 1 == screen.size() || screen[k + 1] != '[') {
      text += screen[k];
      continue;
    }
    std::size_t end = k + 2;
    while (end < screen.size() && (screen[end] < '@' || screen[end] > '~'))
      ++end;
    if (end == screen.size()) break;  // the rest of the sequence is still to come
    if (screen[end] == 'C') text.append(std::max(1, std::atoi(&screen[k + 2])), ' ');
    k = end;
  }
  return text;
}

class WindowsConsole : public Terminal {
 protected:
  WindowsConsole() {
    terminalType_ = "xterm";
    programArgument_ = CALCULATOR_WINDOWS_PROGRAM;
  }

  // Reads the terminal until the text shows after everything found so far (true), or wine has
  // had ample time: it is slow to start. Once a text has not shown, none is waited for.
  bool shows(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!missed_) {
      const std::size_t at = shownText(screen_).find(text, found_);
      if (at != std::string::npos) {
        found_ = at + text.size();
        return true;
      }
      missed_ = std::chrono::steady_clock::now() > deadline;
      pollfd ready = {master_, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) continue;
      char bytes[512];
      const ssize_t count = read(master_, bytes, sizeof bytes);
      if (count <= 0) missed_ = true;
      if (count > 0) screen_.append(bytes, static_cast<std::size_t>(count));
    }
    return false;
  }

  // Types the keys once a prompt shows and wine's console reads single keys: it switches the
  // terminal over only when the program first reads, and the terminal would echo keys before.
  void typeAtPrompt(const std::string& keys) {
    ASSERT_TRUE(shows(kPromptWord)) << shownText(screen_);
    ASSERT_TRUE(waitForRawMode());
    type(keys);
  }

  // Types the keys once the text before them shows: what the program draws after a Tab must be
  // on the screen before the next keys come.
  void typeAfter(const std::string& text, const std::string& keys) {
    ASSERT_TRUE(shows(text)) << shownText(screen_);
    type(keys);
  }

  void expectShows(const std::string& text) { EXPECT_TRUE(shows(text)) << shownText(screen_); }

  // Ends with "q" and one key after "Press Enter", which the program waits for.
  void quit() {
    typeAtPrompt("q\r");
    ASSERT_TRUE(shows("Press Enter")) << shownText(screen_);
    EXPECT_TRUE(stillRunning());
    type("x");
    ASSERT_TRUE(exitsWithin(30000ms));
    EXPECT_TRUE(WIFEXITED(status_));
    EXPECT_EQ(WEXITSTATUS(status_), 0);
  }

  std::size_t found_ = 0;
  bool missed_ = false;
};

}  // namespace

TEST_F(WindowsConsole, TheDialogueReadsInCyrillic) {
  expectShows("Курсовая работа: программа - калькулятор");
  expectShows("Введите выражение или команду, h - для помощи");
  typeAtPrompt("a=2 ?=a*3\r");
  expectShows("Считаю строку: ?=a*3");
  expectShows("Результаты расчёта:");
  expectShows("a = 2");
  expectShows("? = 6");
  typeAtPrompt("b=2$\r");
  expectShows("Ошибка синтаксиса в строке 2:");
  expectShows("Позиция 3, cимвол: $");
  typeAtPrompt("l\r");
  expectShows("  a=2");
  expectShows("  ?=a*3");
  typeAtPrompt("c\r");
  expectShows("Список очищен");
  quit();
}

TEST_F(WindowsConsole, TabCompletesFunctionsNamesAndStoredExpressions) {
  typeAtPrompt("?=sq" + kTab);
  typeAfter("?=sqrt(", "16)\r");
  expectShows("? = 4");
  typeAtPrompt("alpha=3\r");
  typeAtPrompt("?=al" + kTab);
  typeAfter("?=alpha", "*2\r");
  expectShows("? = 6");
  // After "name=" a Tab brings back the stored expression, to be changed.
  typeAtPrompt("alpha=" + kTab);
  typeAfter("alpha=3", "+1\r");
  typeAtPrompt("r\r");
  expectShows("? = 8");
  expectShows("alpha = 4");
  // Two candidates: the first Tab gives what they share, the second lists them below the line,
  // which is drawn again after the prompt.
  typeAtPrompt("alps=1\r");
  typeAtPrompt("?=al" + kTab);
  typeAfter("?=alp", kTab);
  expectShows("alpha  alps");
  typeAfter(kPromptWord + " ?=alp", "s+alpha\r");
  expectShows("? = 5");
  // Inside the line, the completion goes where the Tab was, and so does the cursor.
  typeAtPrompt("?=sq+1");
  typeAfter("?=sq+1", kLeft + kLeft + kTab);
  typeAfter("sqrt(+1", "9)\r");
  expectShows("? = 4");
  quit();
}

TEST_F(WindowsConsole, CtrlCDropsTheTypedLineAndKeepsTheStoredOnes) {
  typeAtPrompt("a=2\r");
  typeAtPrompt("?=a*100");
  typeAfter("?=a*100", kCtrlC);
  expectShows("^C");
  typeAtPrompt("?=a+1\r");
  expectShows("? = 3");
  // A line that a Tab has completed is dropped as well.
  typeAtPrompt("?=sq" + kTab);
  typeAfter("sqrt(", kCtrlC);
  expectShows("^C");
  typeAtPrompt("l\r");
  const std::size_t listing = found_;
  expectShows("  a=2");
  expectShows("  ?=a+1");
  quit();
  const std::string shown = shownText(screen_);
  EXPECT_EQ(shown.find("? = 200"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("sqrt", listing), std::string::npos) << shown;
}

TEST_F(WindowsConsole, UpRecallsAnEarlierLine) {
  typeAtPrompt("?=7*6\r");
  expectShows("? = 42");
  typeAtPrompt("c\r");
  expectShows("Список очищен");
  typeAtPrompt(kUp + kUp);
  typeAfter("?=7*6", "\r");
  expectShows("Считаю строку: ?=7*6");
  expectShows("? = 42");
  quit();
}
