// Test support: a workspace laid out from given lines.
#include "support/capture.hpp"

#include "workspace/workspace.hpp"

void storeLines(std::initializer_list<std::string> texts) {
  lineCount = 0;
  for (const std::string& text : texts)
    LineTable[lineCount++] = text;
}

std::vector<std::uint8_t> streamOf(int line) {
  return {TokenBuffer[line], TokenBuffer[line] + lastToken[line] + 1};
}

void WorkspaceTest::SetUp() {
  resetWorkspace();
  lineCount = 0;
}
