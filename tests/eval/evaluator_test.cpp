// Tests of the evaluator: the passes step by step, values, slots, internal errors, circles.
#include "eval/evaluator.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
  // Tokenizes the lines and binds their names (the task is not needed).
  void prepare(std::initializer_list<std::string> lines) {
    storeLines(lines);
    ASSERT_TRUE(tokenizeAll());
    resolveNames();
    output.take();
  }

  float valueOfLine(int line) { return NumberPool[TokenBuffer[line][1]]; }

  // The value of a single expression, evaluated as line 0.
  float valueOf(const std::string& expression) {
    resetWorkspace();
    prepare({"?=" + expression});
    EXPECT_TRUE(evaluateLine(0)) << expression;
    return valueOfLine(0);
  }
};

float single(double value) {
  return static_cast<float>(value);
}

}  // namespace

TEST_F(Evaluator, PowersThenProductsThenSums) {
  prepare({"?=2+3*4^2"});
  std::int32_t end = lastToken[0] + 1;
  ASSERT_EQ(end, 12);
  ASSERT_TRUE(reduceBrackets(0, end, 0) && reduceReferences(0, end, 0) &&
              reduceFunctions(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, '+', 'n', 1, '*', 'n', 2, '^', 'n', 3, 0}));

  ASSERT_TRUE(reducePowers(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, '+', 'n', 1, '*', 'n', 2, 0}));
  EXPECT_EQ(lastToken[0], 8);
  EXPECT_EQ(end, 9);
  EXPECT_EQ(NumberPool[2], 16);

  ASSERT_TRUE(reduceProducts(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, '+', 'n', 1, 0}));
  EXPECT_EQ(lastToken[0], 5);
  EXPECT_EQ(end, 6);
  EXPECT_EQ(NumberPool[1], 48);

  ASSERT_TRUE(reduceSums(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, 0}));
  EXPECT_EQ(lastToken[0], 2);
  EXPECT_EQ(end, 3);
  EXPECT_EQ(NumberPool[0], 50);
}

TEST_F(Evaluator, BracketCollapsesThenUnaryMinusComesLast) {
  prepare({"?=-(1+2)*3"});
  std::int32_t end = lastToken[0] + 1;
  ASSERT_EQ(end, 12);

  ASSERT_TRUE(reduceBrackets(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'-', 'n', 0, '*', 'n', 2, 0}));
  EXPECT_EQ(lastToken[0], 6);
  EXPECT_EQ(end, 7);
  EXPECT_EQ(NumberPool[0], 3);

  ASSERT_TRUE(reduceReferences(0, end, 0) && reduceFunctions(0, end, 0) && reducePowers(0, end, 0));
  EXPECT_EQ(end, 7);

  ASSERT_TRUE(reduceProducts(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'-', 'n', 0, 0}));
  EXPECT_EQ(end, 4);
  EXPECT_EQ(NumberPool[0], 9);

  ASSERT_TRUE(reduceSums(0, end, 0));
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, 0}));
  EXPECT_EQ(end, 3);
  EXPECT_EQ(NumberPool[0], -9);
}

TEST_F(Evaluator, NestedBracketsKeepTheEndRight) {
  // The inner calls shorten the stream under the outer one; what follows must still be reduced.
  prepare({"?=((1+2)*(3+4))-sin(0)*2"});
  ASSERT_TRUE(evaluateLine(0));
  EXPECT_EQ(valueOfLine(0), 21);
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, 0}));
}

TEST_F(Evaluator, PrecedenceAndLeftGrouping) {
  const struct {
    const char* expression;
    float value;
  } cases[] = {
      {"2^3^2", 64},
      {"8/2/2", 2},
      {"2-3-4", -5},
      {"8/2*3", 12},
      {"2*3*4", 24},
      {"5-2+1", 4},
      {"-2^2", -4},
      {"2*(-3)", -6},
      {"2-(-3)", 5},
      {"-(-3)", 3},
      {"1+2*3^2", 19},
      {"(1+2)^2", 9},
      {"7", 7},
      {"((((5))))", 5},
      {"((((((((((((((((((((((((7))))))))))))))))))))))))", 7},  // 24 pairs fill the stream
      {"0.1+0.2", single(0.1f + 0.2f)},
      {"1/3", 1.0f / 3.0f},
  };
  for (const auto& c : cases)
    EXPECT_EQ(valueOf(c.expression), c.value) << c.expression;
  EXPECT_EQ(output.take(), "");
}

TEST_F(Evaluator, FunctionsInDoubleRoundedOnce) {
  EXPECT_EQ(valueOf("sin(cos(0))"), single(std::sin(1.0)));
  EXPECT_EQ(valueOf("ctg(1)"), single(1.0 / std::tan(1.0)));
  EXPECT_EQ(valueOf("tg(0.5)"), single(std::tan(double(0.5f))));
  EXPECT_EQ(valueOf("sqrt(2)"), single(std::sqrt(2.0)));
  EXPECT_EQ(valueOf("exp(1)"), single(std::exp(1.0)));
  EXPECT_EQ(valueOf("ln(10)"), single(std::log(10.0)));
  EXPECT_EQ(valueOf("lg(2)"), single(std::log10(2.0)));
  EXPECT_EQ(valueOf("2^0.5"), single(std::pow(2.0, double(0.5f))));
}

TEST_F(Evaluator, HelpExampleRoundsEveryStepToSinglePrecision) {
  const float quotient = single(std::log10(double(23.67f))) / (23.0f + 45.0f);
  const float left = quotient * single(std::sin(double(0.12f)));
  const float right = single(std::sqrt(10.0)) * single(std::pow(double(0.956f), 5.0));
  const float value = valueOf("(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5");
  EXPECT_EQ(value, left - right);
  EXPECT_NEAR(value, -2.52274, 0.000005);
}

TEST_F(Evaluator, MalformedStreamsAreInternalErrorsReportedOnce) {
  for (const std::string expression : {"--3", "(--3)*2", "2*(--3)"}) {
    resetWorkspace();
    prepare({"?=" + expression});
    EXPECT_FALSE(evaluateLine(0)) << expression;
    EXPECT_EQ(output.take(), "Внутренняя ошибка\n") << expression;
  }
  // The failing bracket stopped everything: the "*" after it is never reduced.
  resetWorkspace();
  prepare({"?=(--3)*2"});
  evaluateLine(0);
  EXPECT_EQ(streamOf(0), (Bytes{'(', '-', '-', 'n', 0, ')', '*', 'n', 1, 0}));
}

TEST_F(Evaluator, StreamsEndingInAnOperatorFailWhateverStaleBytesFollow) {
  const struct {
    Bytes stream;
  } cases[] = {{{'n', 0, '+'}}, {{'-'}}, {{'n', 0, '*'}}, {{'n', 0, '^'}}, {{'f', 1, '('}}};
  for (const auto& c : cases) {
    resetWorkspace();
    storeLines({"?=1"});
    NumberPool[0] = 1;
    lastNumber = 0;
    for (int i = 0; i < kTokenBufferSize; ++i)
      TokenBuffer[0][i] = 'n';  // stale bytes
    for (std::size_t i = 0; i < c.stream.size(); ++i)
      TokenBuffer[0][i] = c.stream[i];
    lastToken[0] = static_cast<std::int32_t>(c.stream.size()) - 1;
    EXPECT_FALSE(evaluateRange(0, lastToken[0] + 1, 0));
    EXPECT_EQ(output.take(), "Внутренняя ошибка\n");
  }
}

TEST_F(Evaluator, ReferencesTakeFreshSlotsAndMarkTheirLines) {
  prepare({"a=2", "?=a+a"});
  ASSERT_TRUE(evaluateLine(1));
  EXPECT_EQ(valueOfLine(1), 4);
  // Slots 1 and 2 took a copy of a each; the sum went into the left one.
  EXPECT_EQ(lastNumber, 2);
  EXPECT_EQ(NumberPool[0], 2);
  EXPECT_EQ(NumberPool[2], 2);
  EXPECT_EQ(DefinitionTable[0].computed, 1);
  EXPECT_EQ(DefinitionTable[1].computed, 0);  // the task is marked by the run step
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, 0}));

  // Evaluated again, a reduced line keeps its stream and its value.
  ASSERT_TRUE(evaluateLine(1));
  EXPECT_EQ(streamOf(1), (Bytes{'n', 1, 0}));
  EXPECT_EQ(valueOfLine(1), 4);
  EXPECT_EQ(lastNumber, 2);
}

TEST_F(Evaluator, ChainOfReferences) {
  prepare({"a=1.5", "b=a*2", "c=b+a", "?=c^2"});
  ASSERT_TRUE(evaluateLine(3));
  EXPECT_EQ(valueOfLine(3), 20.25f);
  for (int line = 0; line < 3; ++line)
    EXPECT_EQ(DefinitionTable[line].computed, 1) << line;
}

TEST_F(Evaluator, CirclesAreFoundAtTheReferenceThatClosesThem) {
  prepare({"a=a+1", "?=a"});
  EXPECT_FALSE(evaluateLine(1));
  EXPECT_EQ(output.take(), "Циклическая ссылка на выражение: a\n");

  resetWorkspace();
  prepare({"a=b", "b=2*a", "?=1+b"});
  EXPECT_FALSE(evaluateLine(2));
  EXPECT_EQ(output.take(), "Циклическая ссылка на выражение: b\n");

  // Twenty lines, each naming the next and the last naming the first.
  resetWorkspace();
  storeLines({});
  for (int i = 0; i < kMaxLines; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "x%d=x%d", i, (i + 1) % kMaxLines);
    LineTable[i] = text;
  }
  lineCount = kMaxLines;
  ASSERT_TRUE(tokenizeAll());
  resolveNames();
  output.take();
  EXPECT_FALSE(evaluateLine(0));
  EXPECT_EQ(output.take(), "Циклическая ссылка на выражение: x0\n");
  // No mark is left behind: a line outside the circle evaluates.
  LineTable[5] = "x5=3";
  resetWorkspace();
  ASSERT_TRUE(tokenizeAll());
  resolveNames();
  output.take();
  EXPECT_TRUE(evaluateLine(0));
  EXPECT_EQ(valueOfLine(0), 3);
}

TEST_F(Evaluator, ReferencesStopAtTheLastPoolSlot) {
  // Ten literals and thirty evaluated references fill the forty slots exactly.
  const std::string b = "b=a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a";
  const std::string task = "?=b+b+b+b+b+b+b+b+b+b+b+b+b+b";
  prepare({"a=1+1+1+1+1+1+1+1+1+1", b, task});
  ASSERT_TRUE(evaluateLine(2));
  EXPECT_EQ(lastNumber, 39);
  EXPECT_EQ(valueOfLine(2), 14 * 160);

  resetWorkspace();
  prepare({"a=1+1+1+1+1+1+1+1+1+1+1", b, task});
  EXPECT_FALSE(evaluateLine(2));
  EXPECT_EQ(output.take(), "Не хватает места для чисел (40) при расчёте\n");
  EXPECT_EQ(lastNumber, 39);
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
