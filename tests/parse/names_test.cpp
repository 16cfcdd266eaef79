// Tests of name resolution.
#include "parse/names.hpp"

#include <gtest/gtest.h>

#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

class Names : public WorkspaceTest {
 protected:
  void tokenize(std::initializer_list<std::string> lines) {
    storeLines(lines);
    ASSERT_TRUE(tokenizeAll());
  }
};

}  // namespace

TEST_F(Names, BindsReferencesToLinesAndFindsTheTask) {
  tokenize({"a=1", "b=a+1", "?=b*2"});
  taskDefinition = 0xEE;
  EXPECT_TRUE(resolveNames());
  EXPECT_EQ(referenceTarget[0], 0);
  EXPECT_EQ(referenceTarget[1], 1);
  EXPECT_EQ(taskDefinition, 2);
  EXPECT_EQ(output.take(), "Считаю строку: ?=b*2\n");
}

TEST_F(Names, TaskWithoutReferences) {
  tokenize({"a=1", "?=2"});
  EXPECT_TRUE(resolveNames());
  EXPECT_EQ(taskDefinition, 1);
  EXPECT_EQ(output.take(), "Считаю строку: ?=2\n");
}

TEST_F(Names, OnlyTheFirstUndefinedNameIsReportedAndNoTaskLine) {
  tokenize({"?=x+y"});
  EXPECT_FALSE(resolveNames());
  EXPECT_EQ(output.take(), "Не определено выражение: x\n");
}

TEST_F(Names, NoTask) {
  tokenize({"a=1", "b=a"});
  EXPECT_FALSE(resolveNames());
  EXPECT_EQ(output.take(), "Не определено задание\n");
  EXPECT_EQ(referenceTarget[0], 0);
}

TEST_F(Names, CaseCountsAndFunctionNamesAreOrdinaryNames) {
  tokenize({"a=1", "?=A"});
  EXPECT_FALSE(resolveNames());
  EXPECT_EQ(output.take(), "Не определено выражение: A\n");

  resetWorkspace();
  tokenize({"sin=5", "?=sin+1"});
  EXPECT_TRUE(resolveNames());
  EXPECT_EQ(referenceTarget[0], 0);
}

TEST_F(Names, LowestDefinitionWinsAndCirclesAreBound) {
  // Two definitions of a and of "?": tokenizing twice without a reset leaves both.
  storeLines({"a=b", "b=a", "?=a"});
  ASSERT_TRUE(tokenizeAll());
  ASSERT_TRUE(tokenizeLine(0));
  ASSERT_TRUE(tokenizeLine(2));
  EXPECT_TRUE(resolveNames());
  EXPECT_EQ(referenceTarget[0], 1);
  EXPECT_EQ(referenceTarget[1], 0);
  EXPECT_EQ(referenceTarget[3], 1);
  EXPECT_EQ(taskDefinition, 2);
}
