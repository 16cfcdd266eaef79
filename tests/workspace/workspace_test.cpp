// Tests of the workspace's reset.
#include <gtest/gtest.h>

#include "support/capture.hpp"
#include "workspace/workspace.hpp"

TEST(Workspace, ResetForgetsCountersAndEntriesButKeepsTheRest) {
  storeLines({"a=1", "b=a"});
  lastToken[0] = 7;
  TokenBuffer[0][3] = 'x';
  lastNumber = 5;
  lastDefinition = 1;
  lastReference = 0;
  for (int i = 0; i < kMaxDefinitions; ++i)
    DefinitionTable[i] = {"z", i, 1};
  for (int i = 0; i < kMaxReferences; ++i)
    ReferenceTable[i] = {"y", 3};
  referenceTarget[4] = 9;
  taskDefinition = 2;

  resetWorkspace();

  EXPECT_EQ(lastNumber, 0xFF);
  EXPECT_EQ(lastDefinition, -1);
  EXPECT_EQ(lastReference, -1);
  for (int i = 0; i < kMaxDefinitions; ++i) {
    EXPECT_EQ(DefinitionTable[i].line, -1) << i;
    EXPECT_EQ(DefinitionTable[i].computed, 0) << i;
  }
  for (int i = 0; i < kMaxReferences; ++i)
    EXPECT_EQ(ReferenceTable[i].line, -1) << i;
  // Names, lines, streams, bindings and the task stay until they are overwritten.
  EXPECT_EQ(DefinitionTable[29].name, "z");
  EXPECT_EQ(ReferenceTable[29].name, "y");
  EXPECT_EQ(lineCount, 2);
  EXPECT_EQ(LineTable[1], "b=a");
  EXPECT_EQ(lastToken[0], 7);
  EXPECT_EQ(TokenBuffer[0][3], 'x');
  EXPECT_EQ(referenceTarget[4], 9);
  EXPECT_EQ(taskDefinition, 2);
}
