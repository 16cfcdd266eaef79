// Name resolution: references to defining lines, and the task line named "?".
#include "parse/names.hpp"

#include <iostream>
#include <string_view>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "text/characters.hpp"
#include "workspace/workspace.hpp"

namespace {

// The lowest definition index with this name, or -1.
int findDefinition(std::string_view name) {
  for (int d = 0; d <= lastDefinition; ++d) {
    if (DefinitionTable[d].name == name) return d;
  }
  return -1;
}

bool bindReferences() {
  for (int r = 0; r <= lastReference; ++r) {
    const int d = findDefinition(ReferenceTable[r].name);
    if (d < 0) {
      printMessage(kUndefinedName.text);
      std::cout << ReferenceTable[r].name << endLine;
      return false;
    }
    referenceTarget[r] = static_cast<std::uint8_t>(DefinitionTable[d].line);
  }
  return true;
}

bool findTask() {
  const int d = findDefinition(kTaskName);
  if (d < 0) {
    printMessageLine(kNoTask);
    return false;
  }
  printMessage(kComputingLine.text);
  std::cout << LineTable[DefinitionTable[d].line] << endLine;
  taskDefinition = static_cast<std::uint8_t>(d);
  return true;
}

}  // namespace

bool resolveNames() {
  return bindReferences() && findTask();
}
