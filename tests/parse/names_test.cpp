// Tests of name resolution where the tables hold what the command loop never leaves in them.
#include "parse/names.hpp"

#include <gtest/gtest.h>

#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

using Names = WorkspaceTest;

// Stored lines have distinct names; tokenizing lines twice without a reset leaves two
// definitions of "a" and of "?", and the lowest of each is the one bound.
TEST_F(Names, TheLowestDefinitionIsBoundToTheLineThatMakesIt) {
  storeLines({"a=b", "b=a", "?=a"});
  ASSERT_TRUE(tokenizeAll());
  ASSERT_TRUE(tokenizeLine(0));
  ASSERT_TRUE(tokenizeLine(2));
  EXPECT_TRUE(resolveNames());
  EXPECT_EQ(referenceTarget[0], 1);
  EXPECT_EQ(referenceTarget[1], 0);
  EXPECT_EQ(referenceTarget[3], 1);
  EXPECT_EQ(taskDefinition, 2);
  EXPECT_EQ(output.take(), "Считаю строку: ?=a\n");
}
