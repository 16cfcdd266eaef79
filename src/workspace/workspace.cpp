// The workspace tables and their reset.
#include "workspace/workspace.hpp"

#include <algorithm>

// Defined in this order so that they are destroyed in the reverse one.
std::string FunctionTable[kFunctionCount] = {"nul",  "sin", "cos", "tg", "ctg",
                                             "sqrt", "exp", "ln",  "lg"};
std::string LineTable[kMaxLines];
Definition DefinitionTable[kMaxDefinitions];
Reference ReferenceTable[kMaxReferences];

std::uint8_t lineCount = 0;
std::uint8_t TokenBuffer[kMaxLines][kTokenBufferSize];
std::int32_t lastToken[kMaxLines];
float NumberPool[kNumberPoolSize];
std::uint8_t lastNumber = 0;
std::int8_t lastDefinition = 0;
std::int8_t lastReference = 0;
std::uint8_t referenceTarget[kMaxReferences];
std::uint8_t taskDefinition = 0;

static_assert(kMaxDefinitions == kMaxReferences, "the reset walks both tables in one loop");

namespace {

void resetEntries(int count) {
  lastNumber = kNoNumber;
  lastDefinition = kNoEntry;
  lastReference = kNoEntry;
  for (int i = 0; i < count; ++i) {
    DefinitionTable[i].line = -1;
    ReferenceTable[i].line = -1;
    DefinitionTable[i].computed = 0;
  }
}

}  // namespace

void resetWorkspace() {
  resetEntries(kMaxDefinitions);
}

void resetEntriesInUse() {
  resetEntries(std::max(lastDefinition, lastReference) + 1);
}
