// Tests of the detached standard input that in-process dialogues run with: reading ends at
// once, whatever standard input was, and the former input comes back with no descriptor left.
#include "support/standard_input.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The lowest descriptor that is free: it is higher after a descriptor has leaked.
int lowestFreeDescriptor() {
  const int probe = open("/dev/null", O_RDONLY);
  close(probe);
  return probe;
}

// Whatever the test runner gave as standard input is put back after each test.
class StandardInput : public ::testing::Test {
 protected:
  void TearDown() override {
    if (outer_ >= 0) {
      dup2(outer_, STDIN_FILENO);
      close(outer_);
    } else {
      close(STDIN_FILENO);
    }
  }

  const int outer_ = dup(STDIN_FILENO);
};

}  // namespace

TEST_F(StandardInput, DetachedReadsNothingThenThePipeBeforeIsBack) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0) << std::strerror(errno);
  if (ends[0] != STDIN_FILENO) {  // it is where the test runner gave no standard input
    ASSERT_EQ(dup2(ends[0], STDIN_FILENO), STDIN_FILENO);
    close(ends[0]);
  }
  ASSERT_EQ(write(ends[1], "x", 1), 1);
  const int firstFree = lowestFreeDescriptor();

  char byte = 0;
  {
    const DetachedStandardInput detached;
    EXPECT_EQ(read(STDIN_FILENO, &byte, 1), 0) << "not at its end: " << std::strerror(errno);
  }
  ASSERT_EQ(read(STDIN_FILENO, &byte, 1), 1) << std::strerror(errno);
  EXPECT_EQ(byte, 'x');
  EXPECT_EQ(lowestFreeDescriptor(), firstFree) << "a descriptor was left open";
  close(ends[1]);
}

TEST_F(StandardInput, AClosedStandardInputIsDetachedToo) {
  close(STDIN_FILENO);
  detachStandardInput();
  char byte = 0;
  EXPECT_EQ(read(STDIN_FILENO, &byte, 1), 0) << std::strerror(errno);
}
