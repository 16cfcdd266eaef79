// Tests of the workspace's reset.
#include <gtest/gtest.h>

#include "workspace/workspace.hpp"

TEST(Workspace, ResetForgetsEveryNumberDefinitionAndReference) {
  lastNumber = 5;
  lastDefinition = 1;
  lastReference = 0;
  for (Definition& definition : DefinitionTable)
    definition = {"z", 3, 1};
  for (Reference& reference : ReferenceTable)
    reference = {"y", 3};
  resetWorkspace();
  EXPECT_EQ(lastNumber, 0xFF);
  EXPECT_EQ(lastDefinition, -1);
  EXPECT_EQ(lastReference, -1);
  for (const Definition& definition : DefinitionTable)
    EXPECT_TRUE(definition.line == -1 && definition.computed == 0);
  for (const Reference& reference : ReferenceTable)
    EXPECT_EQ(reference.line, -1);
}
