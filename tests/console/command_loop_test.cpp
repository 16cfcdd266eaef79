// Tests of the command loop's tables: after a line replaces another they are a rebuild's.
#include "console/command_loop.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "support/standard_input.hpp"
#include "workspace/workspace.hpp"

namespace {

// Everything of the tables that the stored lines determine: counters, the streams of the stored
// lines, the slots of their numbers, and every definition and reference with its line.
struct Tables {
  int lines;
  std::vector<std::vector<std::uint8_t>> streams;
  std::vector<float> slots;
  std::vector<std::string> definitionNames;
  std::vector<int> definitionLines;
  std::vector<int> computed;
  std::vector<std::string> referenceNames;
  std::vector<int> referenceLines;

  bool operator==(const Tables&) const = default;
};

Tables tables() {
  Tables t{lineCount, {}, {}, {}, {}, {}, {}, {}};
  for (int line = 0; line < lineCount; ++line)
    t.streams.push_back(streamOf(line));
  for (int slot = 0; lastNumber != kNoNumber && slot <= lastNumber; ++slot)
    t.slots.push_back(NumberPool[slot]);
  for (int d = 0; d < kMaxDefinitions; ++d) {
    t.definitionNames.push_back(d <= lastDefinition ? DefinitionTable[d].name : "");
    t.definitionLines.push_back(DefinitionTable[d].line);
    t.computed.push_back(DefinitionTable[d].computed);
  }
  for (int r = 0; r < kMaxReferences; ++r) {
    t.referenceNames.push_back(r <= lastReference ? ReferenceTable[r].name : "");
    t.referenceLines.push_back(ReferenceTable[r].line);
  }
  return t;
}

// Runs the command loop on the words, with standard input at its end for the final key.
std::string dialogue(const std::string& words) {
  const DetachedStandardInput detached;
  std::istringstream input(words);
  std::streambuf* const savedBuffer = std::cin.rdbuf(input.rdbuf());
  CapturedOutput output;
  commandLoop();
  std::cin.rdbuf(savedBuffer);
  std::cin.clear();
  return output.take();
}

}  // namespace

// A word that replaces the last stored line is tokenized once, in the entry past the lines, and
// then moved; one that replaces another line is followed by a rebuild. Either way the tables
// must be those that a rebuild from the stored lines gives.
TEST(CommandLoop, TablesAfterAReplacementAreARebuilds) {
  std::string full;
  for (int i = 0; i < kMaxLines - 1; ++i)
    full += "v" + std::to_string(i) + "=" + std::to_string(i) + " ";
  const std::string cases[] = {
      "x=1 y=2 y=x*(3+4)-sin(x)+z",          // the last line, the entry past it
      "x=1 y=2 x=5+y*w",                     // another line: rebuilt
      "a=2 ?=a+1 b=3 b=a*b+c",               // after a run that took a slot
      "a=1 b=a+a a=7 b=2+3 b=b",             // replaced several times
      full + "last=1 last=(2+v3)*v4",        // a full list: the line's own entry
      full + "last=1 v0=9",                  // a full list, another line
      "x=1 y=2 y=2+",                        // refused: the lines stay as they were
      "a=1+1+1+1+1+1+1+1+1+1 b=a a=1+a+b q"  // the last line but one
  };
  for (const std::string& words : cases) {
    dialogue(words + " q");
    const Tables afterLoop = tables();
    resetWorkspace();
    ASSERT_TRUE(tokenizeAll()) << words;
    EXPECT_TRUE(afterLoop == tables()) << words;
  }
}

// A Tab completes from the five commands, the eight functions and the lines stored now.
TEST(CommandLoop, WordsToCompleteAreTheCommandsFunctionsAndStoredLines) {
  dialogue("a=1 bc=a*2 q");
  const CompletionWords words = wordsToComplete();
  EXPECT_EQ(std::vector<std::string_view>(words.commands.begin(), words.commands.end()),
            (std::vector<std::string_view>{"help", "list", "run", "clear", "quit"}));
  EXPECT_EQ(std::vector<std::string>(words.functions.begin(), words.functions.end()),
            (std::vector<std::string>{"sin", "cos", "tg", "ctg", "sqrt", "exp", "ln", "lg"}));
  EXPECT_EQ(std::vector<std::string>(words.storedLines.begin(), words.storedLines.end()),
            (std::vector<std::string>{"a=1", "bc=a*2"}));
  dialogue("c q");
  EXPECT_TRUE(wordsToComplete().storedLines.empty());
}
