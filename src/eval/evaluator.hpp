// The token-stream evaluator: reduces a range of a line's stream, in place, to one number.
#pragma once

#include <cstdint>

// Deletes positions first..last, both included, from the line's token stream.
void removeTokens(std::uint8_t first, std::uint8_t last, std::uint8_t line);

// Reduces positions first..end-1 of the line's stream in six passes: brackets, references,
// functions, "^", "*" and "/", "+" and "-". Reports and returns false on a malformed stream,
// a circle of references or a full number pool.
bool evaluateRange(std::int32_t first, std::int32_t end, std::int32_t line);

// Evaluates a whole line; while it runs the line is marked, so that a reference leading back
// to it is found as a circle instead of recursing without end.
bool evaluateLine(std::int32_t line);

// The six passes in the order evaluateRange runs them. Each scans first..end-1 from the left,
// reduces what it handles and lowers end by the positions it removed.
bool reduceBrackets(std::int32_t first, std::int32_t& end, std::int32_t line);
bool reduceReferences(std::int32_t first, std::int32_t end, std::int32_t line);
bool reduceFunctions(std::int32_t first, std::int32_t& end, std::int32_t line);
bool reducePowers(std::int32_t first, std::int32_t& end, std::int32_t line);
bool reduceProducts(std::int32_t first, std::int32_t& end, std::int32_t line);
bool reduceSums(std::int32_t first, std::int32_t& end, std::int32_t line);
