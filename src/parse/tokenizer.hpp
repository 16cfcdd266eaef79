// The line tokenizer: turns stored expression lines into token streams.
#pragma once

#include <cstdint>
#include <string_view>

// Checks the syntax of one stored line and, in the same pass, writes its token stream and
// appends its definition, references and numbers to the tables. Reports and returns false
// on a syntax error, an unknown function, an incomplete line or a full table.
bool tokenizeLine(int line);

// Tokenizes the stored lines in order; stops at the first that fails.
bool tokenizeAll();

// The index (1..8) of a function name, or 0 after reporting that no function has it.
std::int8_t findFunction(std::string_view name);
