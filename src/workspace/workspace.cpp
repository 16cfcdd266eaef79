// The workspace tables and their reset.
#include "workspace/workspace.hpp"

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

void resetWorkspace() {
  lastNumber = kNoNumber;
  lastDefinition = kNoEntry;
  lastReference = kNoEntry;
  static_assert(kMaxDefinitions == kMaxReferences, "one loop resets both tables");
  for (int i = 0; i < kMaxDefinitions; ++i) {
    DefinitionTable[i].line = -1;
    ReferenceTable[i].line = -1;
    DefinitionTable[i].computed = 0;
  }
}
