// The run step and its report of every definition's value.
#include "eval/run.hpp"

#include <string_view>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "eval/evaluator.hpp"
#include "parse/brackets.hpp"
#include "parse/names.hpp"
#include "text/float_text.hpp"
#include "workspace/workspace.hpp"

namespace {

// "  name = value", or the not-computed message for a line the task did not reach. A
// not-a-number is written "nan" whatever its sign bit: the sign comes from the CPU and the C
// library that made it (x86 sets it, ARM and s390x do not), not from the expression.
void printResult(const Definition& definition) {
  if (!definition.computed) {
    writeLine({"  ", definition.name, " = ", convertedMessage<kNotComputed>()});
    return;
  }
  char value[kFloatTextSize];
  const char* const valueEnd = formatFloat(NumberPool[TokenBuffer[definition.line][1]], value);
  writeLine({"  ", definition.name, " = ", std::string_view(value, valueEnd)});
}

}  // namespace

void runTask() {
  if (!checkBrackets() || !resolveNames()) return;
  // Definition k belongs to line k, so the task's definition index is its line index.
  const int task = taskDefinition;
  if (!evaluateLine(task)) return;
  DefinitionTable[task].computed = 1;
  writeLine({convertedMessage<kResultsHeader>()});
  for (int i = 0; i <= lastDefinition; ++i)
    printResult(DefinitionTable[i]);
}
