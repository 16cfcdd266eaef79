// Counts heap allocations during whole runs: the evaluator and the messages allocate nothing.
#include <gtest/gtest.h>

#include <cstddef>
#include <iostream>
#include <streambuf>
#include <string>

#include "eval/run.hpp"
#include "parse/tokenizer.hpp"
#include "support/allocation_counter.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

// Output that lands in a fixed array, so that writing it allocates nothing either.
class FixedBuffer : public std::streambuf {
 public:
  FixedBuffer() { setp(bytes_, bytes_ + sizeof bytes_); }
  std::string text() const { return std::string(pbase(), pptr()); }

 private:
  char bytes_[4096];
};

// The allocations made by one run of the stored lines; its output must hold `shown`.
long allocationsOfRun(const std::string& shown) {
  resetWorkspace();
  EXPECT_TRUE(tokenizeAll());
  FixedBuffer buffer;
  std::streambuf* saved = std::cout.rdbuf(&buffer);
  const std::size_t before = allocationCount();
  runTask();
  const long made = static_cast<long>(allocationCount() - before);
  std::cout.rdbuf(saved);
  EXPECT_NE(buffer.text().find(shown), std::string::npos) << buffer.text();
  return made;
}

}  // namespace

TEST(Allocations, NoneDuringARunWithAChainOfReferencesOrTheHelpExample) {
  storeLines({"?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5"});
  EXPECT_EQ(allocationsOfRun("-2.52274"), 0);
  storeLines({"a=1", "b=a+1", "c=b*2", "d=c^2", "e=d-a", "unused=7", "?=e/3+sin(b)"});
  EXPECT_EQ(allocationsOfRun("Значение не рассчитывалось"), 0);
  // The counter does count: a string too long for its own storage allocates.
  const std::size_t before = allocationCount();
  std::string longText(100, 'x');
  EXPECT_EQ(allocationCount() - before, 1u);
}
