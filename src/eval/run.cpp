// The run step and its report of every definition's value.
#include "eval/run.hpp"

#include <iostream>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "eval/evaluator.hpp"
#include "parse/brackets.hpp"
#include "parse/names.hpp"
#include "text/number_text.hpp"
#include "workspace/workspace.hpp"

namespace {

// "  name = value", or the not-computed message for a line the task did not reach.
void printResult(const Definition& definition) {
  std::cout << "  " << definition.name << " = ";
  if (!definition.computed) {
    printMessageLine(kNotComputed);
    return;
  }
  char text[kValueTextSize];
  std::cout << valueText(NumberPool[TokenBuffer[definition.line][1]], text) << endLine;
}

}  // namespace

void runTask() {
  if (!checkBrackets() || !resolveNames()) return;
  // Definition k belongs to line k, so the task's definition index is its line index.
  const int task = taskDefinition;
  if (!evaluateLine(task)) return;
  DefinitionTable[task].computed = 1;
  printMessageLine(kResultsHeader);
  for (int i = 0; i <= lastDefinition; ++i)
    printResult(DefinitionTable[i]);
}
