// The line tokenizer: turns stored expression lines into token streams.
#pragma once

#include <cstdint>
#include <string>

// Token bytes. A number, reference or function token is its letter and an index byte.
inline constexpr std::uint8_t kNumberToken = 'n';
inline constexpr std::uint8_t kReferenceToken = 'e';
inline constexpr std::uint8_t kFunctionToken = 'f';
inline constexpr std::uint8_t kEndByte = 0;

// Checks the syntax of one stored line and, in the same pass, writes its token stream and
// appends its definition, references and numbers to the tables. Reports and returns false
// on a syntax error, an unknown function, an incomplete line or a full table.
bool tokenizeLine(int line);

// Tokenizes the stored lines in order; stops at the first that fails.
bool tokenizeAll();

// The index (1..8) of a function name, or 0 after reporting that no function has it.
std::int8_t findFunction(const std::string& name);
