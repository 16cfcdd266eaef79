// Tests of the command loop's words to complete: the commands, functions and stored lines.
#include "console/command_loop.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/capture.hpp"
#include "support/standard_input.hpp"

namespace {

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
