// Tests of the command loop: the tables a typed line leaves, and the words it hands to completion.
#include "console/command_loop.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

using Strings = std::vector<std::string>;

// Every stream, definition, reference and number in use, as text.
std::string tablesText() {
  std::ostringstream text;
  for (int line = 0; line < lineCount; ++line) {
    for (const std::uint8_t byte : streamOf(line))
      text << int{byte} << ' ';
  }
  for (int d = 0; d <= lastDefinition; ++d)
    text << DefinitionTable[d].name << '@' << DefinitionTable[d].line << ' ';
  for (int r = 0; r <= lastReference; ++r)
    text << ReferenceTable[r].name << '@' << ReferenceTable[r].line << ' ';
  for (int n = 0; n <= static_cast<std::int8_t>(lastNumber); ++n)
    text << NumberPool[n] << ' ';
  return text.str();
}

// The tables a word leaves are a rebuild's: its measurement's, moved into the last line that it
// replaces, or rebuilt when other lines follow it or when it is refused.
TEST(CommandLoop, AWordLeavesTheTablesOfARebuild) {
  for (const Strings& words : {Strings{"a=1", "b=a+2.5", "b=a*3"}, Strings{"a=1", "b=a+2", "a=b*7"},
                               Strings{"a=2", "b=3", "b=3+"}}) {
    CapturedOutput output;
    storeLines({});
    for (const std::string& word : words)
      enterLine(word);
    const std::string kept = tablesText();
    resetWorkspace();
    ASSERT_TRUE(tokenizeAll());
    EXPECT_EQ(kept, tablesText()) << words.back();
  }
}

TEST(CommandLoop, WordsToCompleteAreTheCommandsFunctionsAndStoredLines) {
  storeLines({"a=1", "bc=a*2"});
  const CompletionWords words = wordsToComplete();
  EXPECT_EQ(std::vector<std::string_view>(words.commands.begin(), words.commands.end()),
            (std::vector<std::string_view>{"help", "list", "run", "clear", "quit"}));
  EXPECT_EQ(Strings(words.functions.begin(), words.functions.end()),
            (Strings{"sin", "cos", "tg", "ctg", "sqrt", "exp", "ln", "lg"}));
  EXPECT_EQ(Strings(words.storedLines.begin(), words.storedLines.end()),
            (Strings{"a=1", "bc=a*2"}));
  storeLines({});
  EXPECT_TRUE(wordsToComplete().storedLines.empty());
}
