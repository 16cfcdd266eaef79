// The run step and its report of every definition's value.
#include "eval/run.hpp"

#include <iostream>
#include <string>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "eval/evaluator.hpp"
#include "parse/brackets.hpp"
#include "parse/names.hpp"
#include "workspace/workspace.hpp"

namespace {

// The line of a computed definition, gathered so that it goes out in one write; its storage is
// reused from run to run.
std::string resultLine;

// "  name = value", or the not-computed message for a line the task did not reach. A
// not-a-number is written "nan" whatever its sign bit: the sign comes from the CPU and the C
// library that made it (x86 sets it, ARM and s390x do not), not from the expression.
void printResult(const Definition& definition) {
  if (!definition.computed) {
    std::cout << "  " << definition.name << " = ";
    printMessage(kNotComputed.text);
    std::cout << endLine;
    return;
  }
  char value[kFloatTextSize];
  char* const valueEnd = formatFloat(NumberPool[TokenBuffer[definition.line][1]], value);
  resultLine.assign("  ")
      .append(definition.name)
      .append(" = ")
      .append(value, static_cast<std::size_t>(valueEnd - value));
  resultLine.push_back('\n');
  std::cout.write(resultLine.data(), static_cast<std::streamsize>(resultLine.size()));
  std::cout.flush();
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
