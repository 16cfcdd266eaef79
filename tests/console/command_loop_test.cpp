// Tests of the words the command loop hands to completion: the commands, functions and lines.
#include "console/command_loop.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/capture.hpp"
#include "workspace/workspace.hpp"

using Strings = std::vector<std::string>;

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
