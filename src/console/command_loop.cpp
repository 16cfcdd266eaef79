// The command loop: banner, prompt, commands, and the entry of expression lines.
#include "console/command_loop.hpp"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

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

// Set by a run that took pool slots for its references, cleared by a reset: those slots must
// not count against a new line's numbers.
bool tablesHoldResults = false;

void printLine(const Message& message) {
  printMessage(message.text);
  std::cout << endLine;
}

// The tables are wholly reset when the loop starts; from then on only the tokenizer and the
// evaluator write them, below their counters, so a reset need not go further.
void clearTables() {
  resetEntriesInUse();
  tablesHoldResults = false;
}

// Builds the tables afresh from the stored lines, which the tokenizer accepted when entered.
bool rebuildTables() {
  clearTables();
  return tokenizeAll();
}

void run() {
  const std::uint8_t numbersBefore = lastNumber;
  runTask();
  if (lastNumber != numbersBefore) tablesHoldResults = true;
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

// The text of a line being replaced in its own entry, kept until the word is accepted; its
// storage is reused from word to word.
std::string replacedText;

// The tables hold lines 0..k-1 and, tokenized after them in entry `from`, the line that
// replaces line k, the last stored line: what a rebuild gives but for the entry. The line's
// stream and the line index of its definition and references move to entry k, so that the
// tables are the rebuild's without tokenizing again. Entry `from` keeps its stream, as it
// does when the rebuild tokenizes line k anew.
void moveLastLine(int from, int k) {
  if (from == k) return;
  const std::int32_t last = lastToken[from];
  std::memcpy(TokenBuffer[k], TokenBuffer[from], static_cast<std::size_t>(last + 1));
  lastToken[k] = last;
  DefinitionTable[lastDefinition].line = k;
  for (int r = 0; r <= lastReference; ++r) {
    if (ReferenceTable[r].line == from) ReferenceTable[r].line = k;
  }
}

// A word that names stored line k is measured against the other stored lines only: it is
// tokenized in entry `entry` on top of every stored line but line k, so that line k's bytes,
// numbers and names do not count against the line that replaces it. The entry is the free one
// past the stored lines, or line k itself when the list is full; either way the tokenizer's
// reports give its index. An accepted word takes line k's place.
void replaceLine(const std::string& word, int k, int entry) {
  clearTables();
  for (int line = 0; line < lineCount; ++line) {
    if (line != k) tokenizeLine(line);
  }
  if (entry == k) replacedText = LineTable[k];
  LineTable[entry] = word;
  const bool accepted = tokenizeLine(entry);
  if (accepted) {
    LineTable[k] = word;
  } else if (entry == k) {
    LineTable[k] = replacedText;
  }
  if (accepted && k == lineCount - 1) {
    moveLastLine(entry, k);
  } else {
    rebuildTables();
  }
  if (accepted && isTask(k)) run();
}

// A new name is tokenized in the entry past the stored lines, on top of the tables as they
// stand, and added when accepted.
void addLine(const std::string& word) {
  if (lineCount == kMaxLines) {
    printLine(kListFull);
    return;
  }
  if (tablesHoldResults) rebuildTables();
  const int n = lineCount;
  LineTable[n] = word;
  if (!tokenizeLine(n)) {
    rebuildTables();
    return;
  }
  lineCount = static_cast<std::uint8_t>(n + 1);
  if (isTask(n)) run();
}

void enterLine(const std::string& word) {
  const int k = storedLineNamed(headName(word));
  if (k < 0) {
    addLine(word);
  } else {
    replaceLine(word, k, lineCount == kMaxLines ? k : lineCount);
  }
}

void listLines() {
  if (lineCount == 0) {
    printLine(kListEmpty);
    return;
  }
  for (int k = 0; k < lineCount; ++k)
    std::cout << "  " << LineTable[k] << endLine;
}

void runCommand() {
  if (lineCount == 0) {
    printLine(kListEmpty);
    return;
  }
  if (rebuildTables()) run();
}

void clearList() {
  lineCount = 0;
  clearTables();
  printLine(kListCleared);
}

// Carries out a command word; false when the word is no command.
bool handleCommand(Command command) {
  switch (command) {
    case kHelp: showHelp(); return true;
    case kList: listLines(); return true;
    case kRun: runCommand(); return true;
    case kClear: clearList(); return true;
    default: return false;
  }
}

}  // namespace

void showHelp() {
  std::cout << endLine;
  printLine(kHelpList);
  printLine(kHelpClear);
  printLine(kHelpRun);
  printLine(kHelpQuit);
  printMessage(kHelpTask.text);
  printLine(kHelpTaskName);
  printLine(kHelpExample);
  printLine(kHelpRadians);
  std::cout << endLine;
}

int commandLoop() {
  resetWorkspace();
  clearTables();
  lineCount = 0;
  printLine(kBannerTitle);
  printLine(kBannerSyntax);
  printLine(kBannerHint);
  std::string word;
  while (true) {
    std::cout << convertedMessage<kPrompt>();
    const WordRead read = readWord(word);
    // The end of input ends the program as "quit" does.
    if (read == WordRead::end) break;
    if (read == WordRead::again) continue;
    const Command command = commandNamed(word);
    if (command == kQuit) break;
    if (!handleCommand(command)) enterLine(word);
  }
  stopReadingWords();
  std::cout << "Press Enter";
  waitForKey();
  return 0;
}

CompletionWords wordsToComplete() {
  return {kCommandWords, std::span(FunctionTable + 1, kFunctionCount - 1),
          std::span(LineTable, lineCount)};
}
