// Test support: output capture and workspace set-up.
#include "support/capture.hpp"

#include <iostream>

#include "workspace/workspace.hpp"

CapturedOutput::CapturedOutput() : saved_(std::cout.rdbuf(buffer_.rdbuf())) {}

CapturedOutput::~CapturedOutput() {
  std::cout.rdbuf(saved_);
}

std::string CapturedOutput::take() {
  std::string text = buffer_.str();
  buffer_.str({});
  return text;
}

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
