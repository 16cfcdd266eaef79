// The run step and its report of every definition's value.
#include "eval/run.hpp"

#include <cmath>
#include <iostream>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "eval/evaluator.hpp"
#include "parse/brackets.hpp"
#include "parse/names.hpp"
#include "workspace/workspace.hpp"

namespace {

// A not-a-number is written "nan" whatever its sign bit: the sign comes from the CPU and the
// C library that made it (x86 sets it, ARM and s390x do not), not from the expression.
void printValue(float value) {
  if (std::isnan(value)) {
    std::cout << "nan";
  } else {
    std::cout << value;
  }
}

// "  name = value", or the not-computed message for a line the task did not reach.
void printResult(const Definition& definition) {
  std::cout << "  " << definition.name << " = ";
  if (definition.computed) {
    printValue(NumberPool[TokenBuffer[definition.line][1]]);
    std::cout << endLine;
  } else {
    printMessage(kNotComputed.text);
    std::cout << endLine;
  }
}

}  // namespace

void runTask() {
  if (!checkBrackets() || !resolveNames()) return;
  // Definition k belongs to line k, so the task's definition index is its line index.
  const int task = taskDefinition;
  if (!evaluateLine(task)) return;
  DefinitionTable[task].computed = 1;
  printMessage(kResultsHeader.text);
  std::cout << endLine;
  for (int i = 0; i <= lastDefinition; ++i)
    printResult(DefinitionTable[i]);
}
