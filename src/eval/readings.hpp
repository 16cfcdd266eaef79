// The evaluator's readings: shortcuts that compute a range or a whole line at once.
//
// The contract of each: it does what the passes of the evaluator do to the same stream — the
// same operations on the same slots in the same order, the same stream and lastToken left
// behind — or, when the stream is not of the form it reads, it changes nothing and returns
// false, leaving the stream to the passes. A test runs both ways and compares.
#pragma once

#include <cstdint>

// The kinds of token that the passes after the brackets reduce, as bits of kindsInRange.
enum TokenKinds : unsigned {
  kReferences = 1,
  kFunctions = 2,
  kPowers = 4,
  kProducts = 8,
  kSums = 16,
};

// The kinds of token in first..end-1, read as the passes read the range: the byte after "n",
// "e" or "f" is an index, and an index is never taken for an operator (none is above 39).
// A pass whose kind is absent would change nothing.
unsigned kindsInRange(std::int32_t first, std::int32_t end, std::int32_t line);

// A range of numbers and operators alone (an optional unary minus, number tokens joined by
// operators, at most the end byte after them), as the passes leave it once its brackets,
// references and functions are reduced: reduced as the three operator passes would.
bool reduceFlatRange(std::int32_t first, std::int32_t end, std::int32_t line);

// A whole line of numbers, operators, brackets and functions without references: computed in
// one reading into a copy of the pool, which replaces the pool only when the whole line fits.
bool reducePlainLine(std::int32_t line);
