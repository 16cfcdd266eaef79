// The readings that compute a range or a whole line at once, as the passes would compute it.
#include "eval/readings.hpp"

#include <array>
#include <cstring>

#include "eval/evaluator.hpp"
#include "eval/operations.hpp"
#include "parse/tokenizer.hpp"
#include "workspace/workspace.hpp"

namespace {

constexpr unsigned kindOf(std::uint8_t byte) {
  switch (byte) {
    case kReferenceToken: return kReferences;
    case kFunctionToken: return kFunctions;
    case '^': return kPowers;
    case '*':
    case '/': return kProducts;
    case '+':
    case '-': return kSums;
    default: return 0;
  }
}

constexpr auto kKindOf = [] {
  std::array<std::uint8_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte)
    table[byte] = static_cast<std::uint8_t>(kindOf(static_cast<std::uint8_t>(byte)));
  return table;
}();

// The kinds of token in first..end-1, read as the passes read the range: the byte after "n",
// "e" or "f" is an index, and an index is never taken for an operator (none is above 39).
}  // namespace

unsigned kindsInRange(std::int32_t first, std::int32_t end, std::int32_t line) {
  const std::uint8_t* stream = TokenBuffer[line];
  unsigned kinds = 0;
  for (std::int32_t p = first; p < end;) {
    const std::uint8_t byte = stream[p];
    kinds |= kKindOf[byte];
    p += isIndexedToken(byte) ? 2 : 1;
  }
  return kinds;
}

namespace {

// The most operands a range holds: every operand takes two bytes and an operator one.
constexpr int kMaxOperands = (kTokenBufferSize + 1) / 3 + 1;

// A range of numbers and operators alone, as the passes leave it once its brackets are reduced:
// an optional unary minus, a number token, then operator and number token pairs, and at most
// the end byte after them.
struct FlatRange {
  bool negated = false;
  int operands = 0;
  std::uint8_t slots[kMaxOperands];
  std::uint8_t operators[kMaxOperands];  // operators[i] stands before operand i
  std::int32_t tokensEnd = 0;            // the position after the last operand's slot byte
  unsigned kinds = 0;                    // the operator kinds that stand in the range
};

// Reads first..end-1 as a flat range; false when it is anything else (a reference, a function,
// a second unary minus, a missing operand), which the passes handle and report.
bool readFlatRange(std::int32_t first, std::int32_t end, std::int32_t line, FlatRange& range) {
  const std::uint8_t* stream = TokenBuffer[line];
  std::int32_t p = first;
  if (stream[p] == '-') {
    range.negated = true;
    ++p;
  }
  while (true) {
    if (p >= end || p + 1 > lastToken[line] || stream[p] != kNumberToken) return false;
    range.slots[range.operands++] = stream[p + 1];
    p += 2;
    if (p >= end || (stream[p] == kEndByte && p == end - 1)) break;
    if (kKindOf[stream[p]] < kPowers) return false;
    range.kinds |= kKindOf[stream[p]];
    range.operators[range.operands] = stream[p++];
  }
  range.tokensEnd = p;
  return true;
}

// Applies one level of operators, left to right, each result in its left operand's slot, and
// keeps the operands and operators of the other levels: what one operator pass does.
void applyLevel(FlatRange& range, std::uint8_t oneOperator, std::uint8_t otherOperator,
                float* pool) {
  int kept = 1;
  for (int i = 1; i < range.operands; ++i) {
    const std::uint8_t op = range.operators[i];
    if (op == oneOperator || op == otherOperator) {
      float& left = pool[range.slots[kept - 1]];
      left = applyOperator(op, left, pool[range.slots[i]]);
    } else {
      range.slots[kept] = range.slots[i];
      range.operators[kept] = op;
      ++kept;
    }
  }
  range.operands = kept;
}

// The three operator passes on a flat range, the levels without an operator skipped; the unary
// minus is applied when the sums begin, as the last pass applies it. Returns the result's slot.
std::uint8_t applyLevels(FlatRange& range, float* pool) {
  const std::uint8_t result = range.slots[0];
  if (range.kinds & kPowers) applyLevel(range, '^', '^', pool);
  if (range.kinds & kProducts) applyLevel(range, '*', '/', pool);
  if (range.negated) pool[result] = -pool[result];
  if (range.kinds & kSums) applyLevel(range, '+', '-', pool);
  return result;
}

}  // namespace

// Reduces a flat range as the three operator passes would, in one reading: the same operations
// in the same order on the same slots (the unary minus when the sums begin), and the stream
// left as they leave it: the first operand's number token in place of the range.
bool reduceFlatRange(std::int32_t first, std::int32_t end, std::int32_t line) {
  FlatRange range;
  if (!readFlatRange(first, end, line, range)) return false;
  const std::uint8_t result = applyLevels(range, NumberPool);
  std::uint8_t* stream = TokenBuffer[line];
  stream[first] = kNumberToken;
  stream[first + 1] = result;
  if (range.tokensEnd > first + 2) {
    removeTokens(static_cast<std::uint8_t>(first + 2),
                 static_cast<std::uint8_t>(range.tokensEnd - 1), static_cast<std::uint8_t>(line));
  }
  return true;
}

namespace {

// A line without references in this form the passes reduce without a fault:
//   range   -> ["-"] operand {operator operand}
//   operand -> "n" slot | "(" range ")" | "f" function "(" range ")"
// with the end byte at most after the last operand, and brackets nested less deep than the
// bracket pass's stack. Such a line is computed in one reading, by descent, into a copy of the
// pool, which replaces the pool only when the whole line had the form; the reading gives up at
// the first token that does not fit (a reference, a second unary minus) and leaves everything
// as it was, for the passes.
struct PlainReading {
  const std::uint8_t* stream;
  std::int32_t last;
  std::int32_t p = 0;
  float pool[kNumberPoolSize];
};

// Returned for a line that does not have the form; slots are below kNumberPoolSize.
constexpr std::uint8_t kNotPlain = 0xFF;

std::uint8_t computeRange(PlainReading& reading, int depth);

// The slot that holds the operand at p once it is computed; p moves past the operand.
std::uint8_t computeOperand(PlainReading& reading, int depth) {
  const std::uint8_t* stream = reading.stream;
  std::int32_t& p = reading.p;
  if (p > reading.last) return kNotPlain;
  const std::uint8_t byte = stream[p];
  if (byte == kNumberToken) {
    if (p + 1 > reading.last || stream[p + 1] >= kNumberPoolSize) return kNotPlain;
    p += 2;
    return stream[p - 1];
  }
  std::uint8_t function = 0;
  if (byte == kFunctionToken) {
    if (p + 2 > reading.last || stream[p + 2] != '(') return kNotPlain;
    function = stream[p + 1];
    p += 3;
  } else if (byte == '(') {
    ++p;
  } else {
    return kNotPlain;
  }
  if (depth + 1 >= kBracketStackSize) return kNotPlain;
  const std::uint8_t slot = computeRange(reading, depth + 1);
  if (slot == kNotPlain || p > reading.last || stream[p] != ')') return kNotPlain;
  ++p;
  if (function != 0) reading.pool[slot] = applyFunction(function, reading.pool[slot]);
  return slot;
}

// Computes the range at p, as evaluateRange with its passes would, and returns the slot of its
// first operand, which holds the result; p moves to what follows the range.
std::uint8_t computeRange(PlainReading& reading, int depth) {
  const std::uint8_t* stream = reading.stream;
  std::int32_t& p = reading.p;
  FlatRange range;
  if (p <= reading.last && stream[p] == '-') {
    range.negated = true;
    ++p;
  }
  while (true) {
    const std::uint8_t slot = computeOperand(reading, depth);
    if (slot == kNotPlain) return kNotPlain;
    range.slots[range.operands++] = slot;
    if (p > reading.last || kKindOf[stream[p]] < kPowers) break;
    range.kinds |= kKindOf[stream[p]];
    range.operators[range.operands] = stream[p++];
  }
  return applyLevels(range, reading.pool);
}

}  // namespace

// Reduces a plain line in one reading: every bracket, function and operator as the passes
// would, on the same slots with the same operations, each chain of operators in its order, and
// the stream left as they leave it: the first operand's number token, then the end byte when
// the line had one. False, with nothing changed, for any other line.
bool reducePlainLine(std::int32_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  PlainReading reading;
  reading.stream = stream;
  reading.last = lastToken[line];
  std::memcpy(reading.pool, NumberPool, sizeof NumberPool);
  const std::uint8_t result = computeRange(reading, 0);
  if (result == kNotPlain) return false;
  const bool endByte = reading.p == reading.last && stream[reading.p] == kEndByte;
  if (reading.p <= reading.last && !endByte) return false;
  std::memcpy(NumberPool, reading.pool, sizeof NumberPool);
  stream[0] = kNumberToken;
  stream[1] = result;
  if (endByte) stream[2] = kEndByte;
  lastToken[line] = endByte ? 2 : 1;
  return true;
}
