// Test support: captured standard output and a workspace laid out from given lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

// Sends standard output into a string for as long as it lives.
class CapturedOutput {
 public:
  CapturedOutput();
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  // Everything written so far; the capture is emptied.
  std::string take();

 private:
  std::ostringstream buffer_;
  std::streambuf* saved_;
};

// Stores these texts as lines 0.. and sets the line count, without tokenizing.
void storeLines(std::initializer_list<std::string> texts);

// The bytes 0..lastToken of a line's token stream.
std::vector<std::uint8_t> streamOf(int line);

// A fresh workspace (reset, no lines) and captured output for every test.
class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  CapturedOutput output;
};
