// Tests of the evaluator: the passes step by step, exact values, slots, streams never tokenized.
#include "eval/evaluator.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "parse/names.hpp"
#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Evaluator : public WorkspaceTest {
 protected:
  // Tokenizes the lines of a fresh workspace and binds their names, as the run step does.
  void prepare(std::initializer_list<std::string> lines) {
    resetWorkspace();
    storeLines(lines);
    ASSERT_TRUE(tokenizeAll());
    resolveNames();
    output.take();
  }

  float valueOfLine(int line) { return NumberPool[TokenBuffer[line][1]]; }
};

bool references(std::int32_t first, std::int32_t& end, std::int32_t line) {
  return reduceReferences(first, end, line);
}

// The six passes in the order evaluateRange runs them.
bool (*const kPasses[])(std::int32_t, std::int32_t&, std::int32_t) = {
    reduceBrackets, references, reduceFunctions, reducePowers, reduceProducts, reduceSums};

float single(double value) {
  return static_cast<float>(value);
}

// What a pass leaves: the stream, and the value in one slot. Every pass not listed for a line
// leaves its stream as it was.
struct Step {
  int pass;
  Bytes stream;
  int slot;
  float value;
};

}  // namespace

TEST_F(Evaluator, EachPassReducesOnlyItsOwnOperations) {
  const struct {
    std::string line;
    std::vector<Step> steps;
  } cases[] = {
      {"?=2+3*4^2",
       {{3, {'n', 0, '+', 'n', 1, '*', 'n', 2, 0}, 2, 16},
        {4, {'n', 0, '+', 'n', 1, 0}, 1, 48},
        {5, {'n', 0, 0}, 0, 50}}},
      // The bracket collapses first; the unary minus waits for the last pass.
      {"?=-(1+2)*3",
       {{0, {'-', 'n', 0, '*', 'n', 2, 0}, 0, 3},
        {4, {'-', 'n', 0, 0}, 0, 9},
        {5, {'n', 0, 0}, 0, -9}}},
      // The inner calls shorten the stream under the outer one; what follows is still reduced.
      {"?=((1+2)*(3+4))-sin(0)*2",
       {{0, {'n', 0, '-', 'f', 1, 'n', 4, '*', 'n', 5, 0}, 0, 21},
        {2, {'n', 0, '-', 'n', 4, '*', 'n', 5, 0}, 4, 0},
        {4, {'n', 0, '-', 'n', 4, 0}, 4, 0},
        {5, {'n', 0, 0}, 0, 21}}},
  };
  for (const auto& c : cases) {
    prepare({c.line});
    std::int32_t end = lastToken[0] + 1;
    auto step = c.steps.begin();
    for (int pass = 0; pass < 6; ++pass) {
      const Bytes before = streamOf(0);
      ASSERT_TRUE(kPasses[pass](0, end, 0)) << c.line << ", pass " << pass;
      EXPECT_EQ(end, lastToken[0] + 1) << c.line << ", pass " << pass;
      if (step == c.steps.end() || step->pass != pass) {
        EXPECT_EQ(streamOf(0), before) << c.line << ", pass " << pass;
        continue;
      }
      EXPECT_EQ(streamOf(0), step->stream) << c.line << ", pass " << pass;
      EXPECT_EQ(NumberPool[step->slot], step->value) << c.line << ", pass " << pass;
      ++step;
    }
  }
}

// The printed six digits cannot tell these apart from values a little off: operators on floats,
// functions computed in double and rounded once, the help example rounded at every step.
TEST_F(Evaluator, ValuesAreExactlyTheSinglePrecisionOnes) {
  const float quotient = single(std::log10(double(23.67f))) / (23.0f + 45.0f);
  const float help = quotient * single(std::sin(double(0.12f))) -
                     single(std::sqrt(10.0)) * single(std::pow(double(0.956f), 5.0));
  const struct {
    std::string expression;
    float value;
  } cases[] = {
      {"0.1+0.2", 0.1f + 0.2f},
      {"1/3", 1.0f / 3.0f},
      {"sin(cos(0))", single(std::sin(1.0))},
      {"ctg(1)", single(1.0 / std::tan(1.0))},
      {"tg(0.5)", single(std::tan(double(0.5f)))},
      {"sqrt(2)", single(std::sqrt(2.0))},
      {"exp(1)", single(std::exp(1.0))},
      {"ln(10)", single(std::log(10.0))},
      {"lg(2)", single(std::log10(2.0))},
      {"2^0.5", single(std::pow(2.0, double(0.5f)))},
      {"(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5", help},
  };
  for (const auto& c : cases) {
    prepare({"?=" + c.expression});
    ASSERT_TRUE(evaluateLine(0)) << c.expression;
    EXPECT_EQ(valueOfLine(0), c.value) << c.expression;
  }
}

// The tokenizer makes no such stream: its line would be incomplete.
TEST_F(Evaluator, StreamsEndingInAnOperatorFailWhateverStaleBytesFollow) {
  for (const Bytes& stream : {Bytes{'n', 0, '+'}, Bytes{'-'}, Bytes{'n', 0, '*'},
                              Bytes{'n', 0, '^'}, Bytes{'f', 1, '('}}) {
    resetWorkspace();
    storeLines({"?=1"});
    NumberPool[0] = 1;
    lastNumber = 0;
    std::fill(std::begin(TokenBuffer[0]), std::end(TokenBuffer[0]), 'n');
    std::copy(stream.begin(), stream.end(), TokenBuffer[0]);
    lastToken[0] = static_cast<std::int32_t>(stream.size()) - 1;
    EXPECT_FALSE(evaluateRange(0, lastToken[0] + 1, 0));
    EXPECT_EQ(output.take(), "Внутренняя ошибка\n");
  }
}

TEST_F(Evaluator, ReferencesTakeFreshSlotsAndMarkTheLinesTheyName) {
  prepare({"a=2", "?=a+a"});
  ASSERT_TRUE(evaluateLine(1));
  EXPECT_EQ(valueOfLine(1), 4);
  // Slots 1 and 2 took a copy of a each; the sum went into the left one.
  EXPECT_EQ(lastNumber, 2);
  EXPECT_EQ(NumberPool[0], 2);
  EXPECT_EQ(NumberPool[2], 2);
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, 0}));
  EXPECT_EQ(DefinitionTable[0].computed, 1);
  EXPECT_EQ(DefinitionTable[1].computed, 0);  // the task is marked by the run step
  // Evaluated again, a reduced line keeps its stream and its value.
  ASSERT_TRUE(evaluateLine(1));
  EXPECT_EQ(streamOf(1), (Bytes{'n', 1, 0}));
  EXPECT_EQ(valueOfLine(1), 4);
  EXPECT_EQ(lastNumber, 2);
}

TEST_F(Evaluator, RemoveTokensAtItsBoundaries) {
  for (int i = 0; i < 9; ++i)
    TokenBuffer[0][i] = static_cast<std::uint8_t>('0' + i);
  lastToken[0] = 8;
  removeTokens(3, 5, 0);
  EXPECT_EQ(streamOf(0), (Bytes{'0', '1', '2', '6', '7', '8'}));
  removeTokens(0, 0, 0);
  EXPECT_EQ(streamOf(0), (Bytes{'1', '2', '6', '7', '8'}));
  removeTokens(4, 4, 0);
  EXPECT_EQ(streamOf(0), (Bytes{'1', '2', '6', '7'}));
  // Removing the tail copies nothing.
  lastToken[0] = 4;
  removeTokens(2, 4, 0);
  EXPECT_EQ(lastToken[0], 1);
  EXPECT_EQ(streamOf(0), (Bytes{'1', '2'}));
}
