// Tests of the bracket balance check.
#include "parse/brackets.hpp"

#include <gtest/gtest.h>

#include "support/capture.hpp"

using Brackets = WorkspaceTest;

TEST_F(Brackets, UnbalancedLinesAreReported) {
  for (const std::string text : {"a=(1+2", "a=1+2)", "a=1)+(2", "a=(1+2))", "a=sin(", "a=)("}) {
    storeLines({text});
    EXPECT_FALSE(checkBrackets()) << text;
    EXPECT_EQ(output.take(), "Неправильный баланс скобок в строке 0: \n" + text + "\n");
  }
}

TEST_F(Brackets, BalancedLinesPass) {
  storeLines({"a=(1)*((2))", "b=sin(cos(1))", "c=1"});
  EXPECT_TRUE(checkBrackets());
  storeLines({});
  EXPECT_TRUE(checkBrackets());
  EXPECT_EQ(output.take(), "");
}

TEST_F(Brackets, OnlyTheFirstFaultyLineIsReported) {
  storeLines({"a=1", "b=(2", "c=3)"});
  EXPECT_FALSE(checkBrackets());
  EXPECT_EQ(output.take(), "Неправильный баланс скобок в строке 1: \nb=(2\n");
}
