// Tests of the run step: the order of its checks and the report of every definition.
#include "eval/run.hpp"

#include <gtest/gtest.h>

#include "parse/tokenizer.hpp"
#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

class Run : public WorkspaceTest {
 protected:
  // Rebuilds the tables from these lines and runs, as the "run" command does.
  std::string run(std::initializer_list<std::string> lines) {
    storeLines(lines);
    resetWorkspace();
    EXPECT_TRUE(tokenizeAll());
    runTask();
    return output.take();
  }
};

}  // namespace

TEST_F(Run, ReportsEveryDefinitionInLineOrder) {
  EXPECT_EQ(run({"a=2", "b=a*3", "?=b+1", "d=5"}),
            "Считаю строку: ?=b+1\n"
            "Результаты расчёта: \n"
            "  a = 2\n"
            "  b = 6\n"
            "  ? = 7\n"
            "  d = Значение не рассчитывалось\n");
  EXPECT_EQ(run({"?=2+3"}), "Считаю строку: ?=2+3\nРезультаты расчёта: \n  ? = 5\n");
}

TEST_F(Run, TheTaskAtItsOwnPlaceAndLinesReachedThroughAChain) {
  EXPECT_EQ(run({"c=b", "?=c*2", "b=a", "a=0.25", "z=1"}),
            "Считаю строку: ?=c*2\n"
            "Результаты расчёта: \n"
            "  c = 0.25\n"
            "  ? = 0.5\n"
            "  b = 0.25\n"
            "  a = 0.25\n"
            "  z = Значение не рассчитывалось\n");
}

TEST_F(Run, DefaultFormatOfValues) {
  EXPECT_EQ(run({"a=1/3", "b=1000000", "c=0.0001", "d=0.00001", "e=123456.7", "?=a+b+c+d+e"}),
            "Считаю строку: ?=a+b+c+d+e\n"
            "Результаты расчёта: \n"
            "  a = 0.333333\n"
            "  b = 1e+06\n"
            "  c = 0.0001\n"
            "  d = 1e-05\n"
            "  e = 123457\n"
            "  ? = 1.12346e+06\n");
}

TEST_F(Run, NonFiniteValuesAreWrittenAsTheStreamWritesThem) {
  EXPECT_EQ(run({"a=1/0", "b=0-1/0", "c=sqrt(0-1)", "d=ln(0)", "e=10^39", "?=a"}),
            "Считаю строку: ?=a\nРезультаты расчёта: \n"
            "  a = inf\n"
            "  b = Значение не рассчитывалось\n"
            "  c = Значение не рассчитывалось\n"
            "  d = Значение не рассчитывалось\n"
            "  e = Значение не рассчитывалось\n"
            "  ? = inf\n");
  EXPECT_EQ(run({"?=0-1/0"}), "Считаю строку: ?=0-1/0\nРезультаты расчёта: \n  ? = -inf\n");
  EXPECT_EQ(run({"?=ln(0)"}), "Считаю строку: ?=ln(0)\nРезультаты расчёта: \n  ? = -inf\n");
  EXPECT_EQ(run({"?=10^39"}), "Считаю строку: ?=10^39\nРезультаты расчёта: \n  ? = inf\n");
  // Every not-a-number is "nan", whichever sign bit the CPU or the C library gave it.
  EXPECT_EQ(run({"?=sqrt(0-1)"}), "Считаю строку: ?=sqrt(0-1)\nРезультаты расчёта: \n  ? = nan\n");
  EXPECT_EQ(run({"?=0-sqrt(0-1)"}),
            "Считаю строку: ?=0-sqrt(0-1)\nРезультаты расчёта: \n  ? = nan\n");
  EXPECT_EQ(run({"?=-(1/0-1/0)"}),
            "Считаю строку: ?=-(1/0-1/0)\nРезультаты расчёта: \n  ? = nan\n");
}

TEST_F(Run, StopsAtTheFirstFailingStep) {
  // A bracket fault anywhere comes before names: no task line is shown.
  EXPECT_EQ(run({"a=(1", "?=x"}), "Неправильный баланс скобок в строке 0: \na=(1\n");
  // An undefined name in a line the task does not reach still stops the run.
  EXPECT_EQ(run({"a=x", "?=1"}), "Не определено выражение: x\n");
  EXPECT_EQ(run({"a=1"}), "Не определено задание\n");
  // The evaluator fails after the task line: no header, no values.
  EXPECT_EQ(run({"a=1", "?=--a"}), "Считаю строку: ?=--a\nВнутренняя ошибка\n");
  EXPECT_EQ(DefinitionTable[1].computed, 0);
  EXPECT_EQ(run({"a=b", "b=a", "?=a"}), "Считаю строку: ?=a\nЦиклическая ссылка на выражение: a\n");
}

TEST_F(Run, RunningTwiceGivesTheSameReport) {
  const std::string first = run({"a=2", "b=a^a", "?=b*sin(a)"});
  EXPECT_EQ(run({"a=2", "b=a^a", "?=b*sin(a)"}), first);
}
