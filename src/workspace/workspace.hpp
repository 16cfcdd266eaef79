// The workspace: the global tables that hold the whole state of the calculator.
#pragma once

#include <cstdint>
#include <string>

#include "workspace/capacities.hpp"

// A name that a line defines (the text before "=").
struct Definition {
  std::string name;
  std::int32_t line = -1;     // the line that defines the name; -1 when unset
  std::uint8_t computed = 0;  // 1 once the line's value has been computed in this run
};

// A name used as an operand inside an expression.
struct Reference {
  std::string name;
  std::int32_t line = -1;  // the line in which the name is used; -1 when unset
};

// The bytes of a token stream. A number, reference or function token is its letter and an
// index byte: a pool slot, a reference entry or a function index. Operators and brackets stand
// for themselves; the end byte follows a number or name that ends the line's text.
inline constexpr std::uint8_t kNumberToken = 'n';
inline constexpr std::uint8_t kReferenceToken = 'e';
inline constexpr std::uint8_t kFunctionToken = 'f';
inline constexpr std::uint8_t kEndByte = 0;

// Whether the token that starts with this byte has an index byte after it.
constexpr bool isIndexedToken(std::uint8_t byte) {
  return byte == kNumberToken || byte == kReferenceToken || byte == kFunctionToken;
}

// Sentinels of the counters: the index of the last entry in use, or "none".
inline constexpr std::uint8_t kNoNumber = 0xFF;
inline constexpr std::int8_t kNoEntry = -1;
inline constexpr std::int32_t kEmptyStream = -1;

// Function names, indexed by the function index that a function token carries.
extern std::string FunctionTable[kFunctionCount];

// Expression lines exactly as typed; entries at and above lineCount are dead but keep their text.
extern std::string LineTable[kMaxLines];
extern std::uint8_t lineCount;

// One token stream per line; lastToken is the position of its last byte.
extern std::uint8_t TokenBuffer[kMaxLines][kTokenBufferSize];
extern std::int32_t lastToken[kMaxLines];

extern float NumberPool[kNumberPoolSize];
extern std::uint8_t lastNumber;

extern Definition DefinitionTable[kMaxDefinitions];
extern std::int8_t lastDefinition;

extern Reference ReferenceTable[kMaxReferences];
extern std::int8_t lastReference;

// Filled by name resolution: the line that each reference names, and the task's definition.
extern std::uint8_t referenceTarget[kMaxReferences];
extern std::uint8_t taskDefinition;

// Forgets every number, definition and reference; lines, streams and names keep their bytes.
void resetWorkspace();
