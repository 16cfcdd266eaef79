// Test support: captured standard output and a workspace laid out from given lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// Sends standard output into a string for as long as it lives.
class CapturedOutput {
 public:
  CapturedOutput() : saved_(std::cout.rdbuf(buffer_.rdbuf())) {}
  ~CapturedOutput() { std::cout.rdbuf(saved_); }

  // Everything written so far; the capture is emptied.
  std::string take() {
    std::string text = buffer_.str();
    buffer_.str({});
    return text;
  }

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
