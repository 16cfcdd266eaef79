// The command loop: banner, prompt, commands, and the entry of expression lines.
#include "console/command_loop.hpp"

#include <algorithm>
#include <iostream>
#include <iterator>
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
int storedLineNamed(std::string_view name) {
  if (name.empty()) return -1;
  for (int k = 0; k < lineCount; ++k) {
    if (DefinitionTable[k].name == name) return k;
  }
  return -1;
}

// The name before "=" when the word starts as a valid line does ("?" or a letter followed
// by letters and digits); otherwise empty.
std::string_view headName(std::string_view word) {
  const auto equals = word.find('=');
  if (equals == std::string_view::npos) return {};
  const std::string_view name = word.substr(0, equals);
  if (name != kTaskName && !isName(name)) return {};
  return name;
}

// The text of the line being replaced when the word is tried in its own entry; its storage is
// kept from word to word.
std::string replacedText;

// Puts the word tokenized in entry `entry` into the tables as the last stored line k: its
// stream, and the line that its definition and references name. The lines before k were
// tokenized in order beneath the word, so the tables are those that rebuildTables gives, which
// tokenizes the word once more; with the task line typed again and again that is every word.
void moveIntoLastLine(int entry, int k) {
  std::copy(std::begin(TokenBuffer[entry]), std::end(TokenBuffer[entry]), TokenBuffer[k]);
  lastToken[k] = lastToken[entry];
  DefinitionTable[lastDefinition].line = k;
  for (int r = 0; r <= lastReference; ++r) {
    if (ReferenceTable[r].line == entry) ReferenceTable[r].line = k;
  }
}

// The word is tokenized on top of the stored lines in entry `entry`, and when accepted takes
// the place of stored line k, or is added when k is -1. The line it replaces is left out of
// the tables it is measured against, so that its bytes, numbers and names do not count against
// the line that replaces it. The entry is the free one past the stored lines, or line k itself
// when the list is full; either way the tokenizer's reports give its index.
void storeIfAccepted(const std::string& word, int k, int entry) {
  resetWorkspace();
  for (int line = 0; line < lineCount; ++line) {
    if (line != k) tokenizeLine(line);
  }
  if (entry == k) replacedText = LineTable[k];
  LineTable[entry] = word;
  if (!tokenizeLine(entry)) {
    if (entry == k) LineTable[k] = replacedText;
    rebuildTables();
    return;
  }
  if (k < 0) {
    k = lineCount++;
  } else {
    LineTable[k] = word;
    if (k + 1 < lineCount) {
      rebuildTables();
    } else if (entry != k) {
      moveIntoLastLine(entry, k);
    }
  }
  if (isTask(k)) runTask();
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
