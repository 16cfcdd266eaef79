// The command loop: banner, prompt, commands, and the entry of expression lines.
#include "console/command_loop.hpp"

#include <iostream>
#include <string>
#include <string_view>

#include "console/commands.hpp"
#include "console/messages.hpp"
#include "console/output.hpp"
#include "eval/run.hpp"
#include "parse/tokenizer.hpp"
#include "platform/platform.hpp"
#include "terminal/word_source.hpp"
#include "text/characters.hpp"
#include "workspace/workspace.hpp"

namespace {

// Builds the tables afresh from the stored lines, which the tokenizer accepted when entered.
bool rebuildTables() {
  resetWorkspace();
  return tokenizeAll();
}

bool isTask(int definition) {
  return DefinitionTable[definition].name == kTaskName;
}

// The stored line whose definition has this name, or -1.
int storedLineNamed(const std::string& name) {
  if (name.empty()) return -1;
  for (int k = 0; k < lineCount; ++k) {
    if (DefinitionTable[k].name == name) return k;
  }
  return -1;
}

// The name before "=" when the word starts as a valid line does ("?" or a letter followed
// by letters and digits); otherwise empty.
std::string headName(const std::string& word) {
  const auto equals = word.find('=');
  if (equals == std::string::npos) return {};
  std::string name = word.substr(0, equals);
  if (name != kTaskName && !isName(name)) return {};
  return name;
}

// The text of the line being replaced while the word is tried in its place; its storage is
// kept from word to word.
std::string replacedText;

// The word is tokenized in place of stored line k, or after the stored lines when k is -1, on
// top of every other stored line, and stays when accepted. The line it replaces is left out of
// the tables it is measured against, so that its bytes, numbers and names do not count against
// the line that replaces it. The tokenizer's reports name the word by its entry: the free one
// past the stored lines, or line k itself when the list is full. When no stored line follows
// the word's, the tables are already those that a rebuild would give; otherwise they are
// rebuilt in the order of the lines.
void storeIfAccepted(const std::string& word, int k, int entry) {
  const int line = k < 0 ? lineCount : k;
  resetWorkspace();
  for (int other = 0; other < lineCount; ++other) {
    if (other != line) tokenizeLine(other, other);
  }
  replacedText = LineTable[line];
  LineTable[line] = word;
  if (!tokenizeLine(line, entry)) {
    LineTable[line] = replacedText;
    rebuildTables();
    return;
  }
  if (k < 0) ++lineCount;
  if (line + 1 < lineCount) rebuildTables();
  if (isTask(line)) runTask();
}

void listLines() {
  if (lineCount == 0) {
    printMessageLine(kListEmpty);
    return;
  }
  for (int k = 0; k < lineCount; ++k)
    std::cout << "  " << LineTable[k] << endLine;
}

void runStoredLines() {
  if (lineCount == 0) {
    printMessageLine(kListEmpty);
    return;
  }
  if (rebuildTables()) runTask();
}

void clearList() {
  lineCount = 0;
  resetWorkspace();
  printMessageLine(kListCleared);
}

// Carries out a command word; false when the word is no command.
bool handleCommand(Command command) {
  switch (command) {
    case kHelp: showHelp(); return true;
    case kList: listLines(); return true;
    case kRun: runStoredLines(); return true;
    case kClear: clearList(); return true;
    default: return false;
  }
}

}  // namespace

void enterLine(const std::string& word) {
  const int k = storedLineNamed(headName(word));
  if (k < 0 && lineCount == kMaxLines) {
    printMessageLine(kListFull);
    return;
  }
  storeIfAccepted(word, k, lineCount < kMaxLines ? lineCount : k);
}

void showHelp() {
  std::cout << endLine;
  printMessageLine(kHelpList);
  printMessageLine(kHelpClear);
  printMessageLine(kHelpRun);
  printMessageLine(kHelpQuit);
  printMessage(kHelpTask.text);
  printMessageLine(kHelpTaskName);
  printMessageLine(kHelpExample);
  printMessageLine(kHelpRadians);
  std::cout << endLine;
}

int commandLoop() {
  resetWorkspace();
  lineCount = 0;
  printMessageLine(kBannerTitle);
  printMessageLine(kBannerSyntax);
  printMessageLine(kBannerHint);
  std::string word;
  while (true) {
    printMessage(kPrompt.text);
    sendOutput();
    const WordRead read = readWord(word);
    // The end of input ends the program as "quit" does.
    if (read == WordRead::end) break;
    if (read == WordRead::again) continue;
    if (read == WordRead::tooLong) {
      printMessageLine(kWordTooLong);
      continue;
    }
    const Command command = commandNamed(word);
    if (command == kQuit) break;
    if (!handleCommand(command)) enterLine(word);
  }
  stopReadingWords();
  std::cout << "Press Enter";
  sendOutput();
  waitForKey();
  return 0;
}

CompletionWords wordsToComplete() {
  return {kCommandWords, std::span(FunctionTable + 1, kFunctionCount - 1),
          std::span(LineTable, lineCount)};
}
