// Types at calculator.exe run by wine in a pseudo-terminal with a UTF-8 locale, where wine's
// console has the OEM code page 437 of an English Windows: the texts in Cyrillic, Tab
// completion, Ctrl+C, the console's own history and the final key.
#include "terminal_sessions/pseudo_terminal.hpp"

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

// A line without a word, and Ctrl+C on the line after it, have the prompt written again, as at a
// POSIX terminal.
TEST_F(WindowsConsole, EveryLineGetsItsPrompt) {
  typeAtPrompt("a=1\r");
  typeAtPrompt("\r");
  typeAtPrompt("\r");
  typeAtPrompt("b=2+");
  typeAfter("b=2+", kCtrlC);
  expectShows("^C");
  typeAtPrompt("l\r");
  expectShows("  a=1");
  quit();
}

// The editing keys that the console's line input leaves in the line as control characters are
// no text of it.
TEST_F(WindowsConsole, ControlKeysAreNoText) {
  typeAtPrompt("?=1\x17\x15\x01\x05\x0b\x04\x12+2\r");
  expectShows("? = 3");
  quit();
  EXPECT_EQ(shownText(screen_).find("Ошибка"), npos) << shownText(screen_);
}
