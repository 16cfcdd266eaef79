// Microbenchmarks: tokenizing and evaluating the help example, a chain of 20 lines, a dialogue.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "console/command_loop.hpp"
#include "eval/evaluator.hpp"
#include "eval/run.hpp"
#include "parse/tokenizer.hpp"
#include "standard_input.hpp"
#include "support/allocation_counter.hpp"
#include "workspace/workspace.hpp"

namespace {

constexpr char kHelpExample[] = "?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5";
constexpr char kShortLine[] = "?=2+3*4^2";

// An output buffer that keeps nothing and counts the bytes written to it.
struct CountingSink : std::streambuf {
  std::size_t bytes = 0;
  int_type overflow(int_type c) override {
    ++bytes;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize count) override {
    bytes += static_cast<std::size_t>(count);
    return count;
  }
};

// While it lives, std::cout writes into a CountingSink.
struct QuietOutput {
  CountingSink sink;
  std::streambuf* saved = std::cout.rdbuf(&sink);
  ~QuietOutput() { std::cout.rdbuf(saved); }
};

// Allocations per iteration since `before`, as a counter beside the benchmark's time.
void reportAllocations(benchmark::State& state, std::size_t before) {
  state.counters["allocs/iter"] = benchmark::Counter(
      static_cast<double>(allocationCount() - before), benchmark::Counter::kAvgIterations);
}

// Stores the lines as the command loop would have accepted them and clears the tables.
void storeLines(const std::string* lines, int count) {
  for (int k = 0; k < count; ++k)
    LineTable[k] = lines[k];
  lineCount = static_cast<std::uint8_t>(count);
  resetWorkspace();
}

void BM_TokenizeHelpExample(benchmark::State& state) {
  const std::string line = kHelpExample;
  storeLines(&line, 1);
  if (!tokenizeLine(0)) state.SkipWithError("the help example is not accepted");
  const std::size_t before = allocationCount();
  for (auto _ : state) {
    resetWorkspace();
    benchmark::DoNotOptimize(tokenizeLine(0));
  }
  reportAllocations(state, before);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_TokenizeHelpExample);

// Evaluation reduces the token stream in place, so each iteration first puts back the stream
// and the numbers as the tokenizer left them: a copy of under 250 bytes.
void BM_EvaluateHelpExample(benchmark::State& state) {
  const std::string line = kHelpExample;
  storeLines(&line, 1);
  if (!tokenizeLine(0)) state.SkipWithError("the help example is not accepted");
  std::uint8_t stream[kTokenBufferSize];
  float numbers[kNumberPoolSize];
  std::memcpy(stream, TokenBuffer[0], sizeof stream);
  std::memcpy(numbers, NumberPool, sizeof numbers);
  const std::int32_t streamEnd = lastToken[0];
  const std::size_t before = allocationCount();
  for (auto _ : state) {
    std::memcpy(TokenBuffer[0], stream, sizeof stream);
    std::memcpy(NumberPool, numbers, sizeof numbers);
    lastToken[0] = streamEnd;
    benchmark::DoNotOptimize(evaluateLine(0));
    benchmark::DoNotOptimize(NumberPool[TokenBuffer[0][1]]);
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_EvaluateHelpExample);

// Twenty lines, each but the first using the one before it; the last is the task. Every line
// holds one number, so that the literals and the copies of the 19 referenced values take 39
// of the 40 pool slots.
std::string chainLine(int k) {
  char name[16] = "?";
  if (k < 19) std::snprintf(name, sizeof name, "x%d", k);
  char line[48];
  if (k == 0) {
    std::snprintf(line, sizeof line, "%s=1.5", name);
  } else if (k % 4 == 0) {
    std::snprintf(line, sizeof line, "%s=sqrt(x%d)+1", name, k - 1);
  } else if (k % 4 == 1) {
    std::snprintf(line, sizeof line, "%s=x%d*1.25", name, k - 1);
  } else if (k % 4 == 2) {
    std::snprintf(line, sizeof line, "%s=(x%d)/2", name, k - 1);
  } else {
    std::snprintf(line, sizeof line, "%s=x%d^2", name, k - 1);
  }
  return line;
}

void storeChain() {
  std::string lines[20];
  for (int k = 0; k < 20; ++k)
    lines[k] = chainLine(k);
  storeLines(lines, 20);
}

// Rebuilds the tables from the 20 stored lines, as "run" does before it runs the task.
void BM_TokenizeChainOf20(benchmark::State& state) {
  storeChain();
  if (!tokenizeAll()) state.SkipWithError("the chain is not accepted");
  const std::size_t before = allocationCount();
  for (auto _ : state) {
    resetWorkspace();
    benchmark::DoNotOptimize(tokenizeAll());
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_TokenizeChainOf20);

// The "run" command on the chain: rebuild, bracket check, name resolution, evaluation of the
// task through all 19 lines it reaches, and the report of 20 values.
void BM_RunChainOf20(benchmark::State& state) {
  storeChain();
  QuietOutput output;
  resetWorkspace();
  tokenizeAll();
  runTask();
  for (int k = 0; k < 20; ++k) {
    if (!DefinitionTable[k].computed) state.SkipWithError("the chain is not computed");
  }
  const std::size_t before = allocationCount();
  for (auto _ : state) {
    resetWorkspace();
    tokenizeAll();
    runTask();
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_RunChainOf20);

// A scripted dialogue of N task lines, the help example and the short line in turn, then "q",
// run through the whole command loop in-process: each iteration is one start of the program.
void BM_Dialogue(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  std::string script;
  for (int i = 0; i < lines; ++i) {
    script += i % 2 == 0 ? kHelpExample : kShortLine;
    script += '\n';
  }
  script += "q\n";
  std::istringstream input(script);
  std::streambuf* const savedInput = std::cin.rdbuf(input.rdbuf());
  QuietOutput output;
  const std::size_t before = allocationCount();
  for (auto _ : state) {
    input.clear();
    input.seekg(0);
    std::cin.clear();
    benchmark::DoNotOptimize(commandLoop());
  }
  std::cin.rdbuf(savedInput);
  // Each start makes one allocation, for the command loop's word (a string of its own each
  // time); allocs/word shows that the words themselves add none.
  const auto words = state.iterations() * (lines + 1);
  state.SetItemsProcessed(words);
  state.SetBytesProcessed(static_cast<std::int64_t>(output.sink.bytes));
  reportAllocations(state, before);
  state.counters["allocs/word"] = benchmark::Counter(
      static_cast<double>(allocationCount() - before) / static_cast<double>(words));
}
BENCHMARK(BM_Dialogue)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

int main(int argc, char** argv) {
  // Otherwise the command loop's closing key read waits for a key after every dialogue.
  detachStandardInput();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
