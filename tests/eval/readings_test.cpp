// The evaluator's readings against its passes: random valid lines evaluated both ways must leave
// the same pool, the same streams and the same report.
#include "eval/readings.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "eval/evaluator.hpp"
#include "eval/run.hpp"
#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

// Random expressions of the calculator's grammar: numbers, the names of earlier lines (now and
// then a later one, for circles and undefined names), the five operators, brackets, functions
// and unary minus, kept short enough that most lines fit the tables.
class ExpressionMaker {
 public:
  explicit ExpressionMaker(std::uint32_t seed) : random_(seed) {}

  std::vector<std::string> lines() {
    const int definitions = pick(4);
    std::vector<std::string> made;
    for (int k = 0; k < definitions; ++k) {
      names_ = k;
      made.push_back(std::string(1, static_cast<char>('a' + k)) + "=" + range(0));
    }
    names_ = definitions;
    made.push_back("?=" + range(0));
    // A task anywhere among the lines, as the dialogue allows.
    std::swap(made.back(), made[pick(static_cast<int>(made.size()))]);
    return made;
  }

 private:
  int pick(int bound) { return static_cast<int>(random_() % static_cast<std::uint32_t>(bound)); }

  // range -> ["-"] operand {operator operand}; a function's argument takes no unary minus.
  std::string range(int depth, bool negatable = true) {
    std::string text = negatable && pick(5) == 0 ? "-" : "";
    if (!text.empty() && pick(20) == 0) text += "-";  // a second one: the passes alone take it
    const int operands = 1 + pick(depth == 0 ? 4 : 3);
    for (int i = 0; i < operands; ++i) {
      if (i > 0) text += "+-*/^"[pick(5)];
      text += operand(depth);
    }
    return text;
  }

  std::string operand(int depth) {
    static const char* const kFunctions[] = {"sin", "cos", "tg", "ctg", "sqrt", "exp", "ln", "lg"};
    static const char* const kNumbers[] = {"0",   "1",   "2",    "3", "10",
                                           "0.5", "2.5", "1.25", "7", "100"};
    const int kind = pick(depth < 2 ? 10 : 6);
    if (kind < 4) return kNumbers[pick(10)];
    if (kind < 6) {
      if (pick(60) == 0) return std::string(1, static_cast<char>('a' + pick(6)));  // later, or none
      if (names_ > 0) return std::string(1, static_cast<char>('a' + pick(names_)));
      return kNumbers[pick(10)];
    }
    if (kind < 8) return "(" + range(depth + 1) + ")";
    return std::string(kFunctions[pick(8)]) + "(" + range(depth + 1, false) + ")";
  }

  std::mt19937 random_;
  int names_ = 0;
};

// What a run leaves behind: its report and every table the evaluator writes.
struct Outcome {
  std::string report;
  std::vector<std::uint32_t> poolBits;
  std::vector<std::vector<std::uint8_t>> streams;
  std::vector<int> computed;
};

Outcome runBoth(const std::vector<std::string>& lines, bool shortcuts, CapturedOutput& output) {
  resetWorkspace();
  lineCount = 0;
  for (const std::string& line : lines)
    LineTable[lineCount++] = line;
  evaluationShortcuts = shortcuts;
  Outcome outcome;
  if (tokenizeAll()) runTask();
  evaluationShortcuts = true;
  outcome.report = output.take();
  for (int slot = 0; slot <= lastNumber && lastNumber != kNoNumber; ++slot) {
    // Every not-a-number counts as one: which operand's sign and payload an operation on two
    // of them passes on is the compiler's choice (it may swap the operands of "*" and "+"),
    // and the calculator writes each as "nan".
    const float value =
        std::isnan(NumberPool[slot]) ? std::numeric_limits<float>::quiet_NaN() : NumberPool[slot];
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    outcome.poolBits.push_back(bits);
  }
  for (int line = 0; line < lineCount; ++line)
    outcome.streams.push_back(streamOf(line));
  for (int d = 0; d <= lastDefinition; ++d)
    outcome.computed.push_back(DefinitionTable[d].computed);
  return outcome;
}

std::string shown(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "  ";
  return text;
}

}  // namespace

TEST(Readings, GiveWhatThePassesGiveOnRandomLines) {
  CapturedOutput output;
  ExpressionMaker maker(20261207);
  int computedTasks = 0;
  for (int i = 0; i < 5000; ++i) {
    const std::vector<std::string> lines = maker.lines();
    const Outcome passes = runBoth(lines, false, output);
    const Outcome readings = runBoth(lines, true, output);
    ASSERT_EQ(readings.report, passes.report) << shown(lines);
    ASSERT_EQ(readings.poolBits, passes.poolBits) << shown(lines);
    ASSERT_EQ(readings.streams, passes.streams) << shown(lines);
    ASSERT_EQ(readings.computed, passes.computed) << shown(lines);
    if (passes.report.find(" = ") != std::string::npos) ++computedTasks;
  }
  // Most lines must fit the tables and compute, or the comparison would prove little.
  EXPECT_GT(computedTasks, 2500);
}

// A line that ends in ")" and is referenced twice: the second reference reads the value that the
// first evaluation left, whichever way the line was computed.
TEST(Readings, ALineReferencedTwiceKeepsItsValue) {
  CapturedOutput output;
  const std::vector<std::string> lines = {"a=2*(1+2)", "?=a+a"};
  const Outcome passes = runBoth(lines, false, output);
  const Outcome readings = runBoth(lines, true, output);
  EXPECT_EQ(readings.report, passes.report);
  EXPECT_NE(passes.report.find("? = 12\n"), std::string::npos) << passes.report;
  EXPECT_EQ(readings.poolBits, passes.poolBits);
  EXPECT_EQ(readings.streams, passes.streams);
}
