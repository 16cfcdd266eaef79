// The evaluator: six left-to-right passes over a token stream, each reducing one kind of
// operation to number tokens, so that precedence follows the order of the passes.
#include "eval/evaluator.hpp"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <iostream>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "parse/tokenizer.hpp"
#include "workspace/workspace.hpp"

namespace {

// Lines whose evaluation has begun and not yet ended.
bool lineUnderEvaluation[kMaxLines];

bool report(const Message& message) {
  printMessage(message.text);
  std::cout << endLine;
  return false;
}

bool internalError() {
  return report(kInternalError);
}

bool isIndexedToken(std::uint8_t byte) {
  return byte == kNumberToken || byte == kReferenceToken || byte == kFunctionToken;
}

// A number token stands at x: inside the range and the stream, and its byte is "n".
bool numberAt(std::int32_t x, std::int32_t first, std::int32_t line) {
  return x >= first && x <= lastToken[line] && TokenBuffer[line][x] == kNumberToken;
}

float& slotNamedAt(std::int32_t position, std::int32_t line) {
  return NumberPool[TokenBuffer[line][position]];
}

float applyFunction(std::uint8_t function, float argument) {
  const double x = argument;
  switch (function) {
    case 1: return static_cast<float>(std::sin(x));
    case 2: return static_cast<float>(std::cos(x));
    case 3: return static_cast<float>(std::tan(x));
    case 4: return static_cast<float>(1.0 / std::tan(x));
    case 5: return static_cast<float>(std::sqrt(x));
    case 6: return static_cast<float>(std::exp(x));
    case 7: return static_cast<float>(std::log(x));
    case 8: return static_cast<float>(std::log10(x));
    default: return argument;
  }
}

float applyOperator(std::uint8_t op, float a, float b) {
  switch (op) {
    case '^': return static_cast<float>(std::pow(static_cast<double>(a), static_cast<double>(b)));
    case '*': return a * b;
    case '/': return a / b;
    case '+': return a + b;
    default: return a - b;
  }
}

// A reference -> a number token naming a fresh slot with the referenced line's value.
bool reduceReference(std::int32_t p, std::int32_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  const std::uint8_t reference = stream[p + 1];
  if (reference > lastReference || referenceTarget[reference] >= lineCount) return internalError();
  const std::int32_t target = referenceTarget[reference];
  if (lineUnderEvaluation[target]) {
    printMessage(kCircularReference.text);
    std::cout << ReferenceTable[reference].name << endLine;
    return false;
  }
  if (!evaluateLine(target)) return false;
  DefinitionTable[target].computed = 1;
  const auto slot = static_cast<std::uint8_t>(lastNumber + 1);
  if (slot >= kNumberPoolSize) return report(kPoolExhausted);
  lastNumber = slot;
  NumberPool[slot] = slotNamedAt(1, target);
  stream[p] = kNumberToken;
  stream[p + 1] = slot;
  return true;
}

// Passes 4 to 6: "n" op "n" -> "n" holding the result in the left operand's slot; in the
// last pass, a "-" with no number token before it changes the sign of the operand after it.
// The scan examines the same position again after a reduction, so chains group from the left.
bool reduceOperators(char oneOperator, char otherOperator, std::int32_t first, std::int32_t& end,
                     std::int32_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  for (std::int32_t p = first; p < end;) {
    const std::uint8_t byte = stream[p];
    if (byte == kNumberToken) {
      p += 2;
      continue;
    }
    if (byte != oneOperator && byte != otherOperator) {
      ++p;
      continue;
    }
    if (!numberAt(p + 1, first, line)) return internalError();
    if (!numberAt(p - 2, first, line)) {
      if (byte != '-') return internalError();
      slotNamedAt(p + 2, line) = -slotNamedAt(p + 2, line);
      removeTokens(static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p),
                   static_cast<std::uint8_t>(line));
      end -= 1;
      p += 2;
      continue;
    }
    slotNamedAt(p - 1, line) =
        applyOperator(byte, slotNamedAt(p - 1, line), slotNamedAt(p + 2, line));
    removeTokens(static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p + 2),
                 static_cast<std::uint8_t>(line));
    end -= 3;
  }
  return true;
}

// The kinds of token that the passes after the brackets reduce, as bits of kindsInRange.
enum TokenKinds : unsigned {
  kReferences = 1,
  kFunctions = 2,
  kPowers = 4,
  kProducts = 8,
  kSums = 16,
};

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

// Whether float arithmetic is carried out in single precision, each result rounded as it is
// made. On x87 (FLT_EVAL_METHOD 2) a result may stay in an 80-bit register until it is stored,
// and when it is read again depends on how the code holds it; there the passes alone evaluate.
constexpr bool kFloatArithmeticRounds = FLT_EVAL_METHOD == 0;

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

}  // namespace

// Pass 1: "(" inside ")" -> the inside's number token. The inside is evaluated by a call of its
// own; the innermost pair closes first, so that call never meets a bracket.
bool reduceBrackets(std::int32_t first, std::int32_t& end, std::int32_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  std::int32_t openBrackets[kBracketStackSize];
  std::int32_t top = -1;
  for (std::int32_t p = first; p < end;) {
    const std::uint8_t byte = stream[p];
    if (byte == '(') {
      if (top + 1 >= kBracketStackSize) return internalError();
      openBrackets[++top] = p++;
    } else if (isIndexedToken(byte)) {
      p += 2;
    } else if (byte == ')') {
      if (top < 0) return internalError();
      const std::int32_t open = openBrackets[top--];
      const std::int32_t close = p;
      if (!evaluateRange(open + 1, close - 1, line)) return false;
      if (stream[open + 1] != kNumberToken || open + 3 > lastToken[line] || stream[open + 3] != ')')
        return internalError();
      stream[open] = kNumberToken;
      stream[open + 1] = stream[open + 2];
      removeTokens(static_cast<std::uint8_t>(open + 2), static_cast<std::uint8_t>(open + 3),
                   static_cast<std::uint8_t>(line));
      // The group of close - open + 1 positions is now two, whatever the inner call removed.
      end = open + end + 1 - close;
      p = open + 2;
    } else {
      ++p;
    }
  }
  return true;
}

// Pass 2: every reference -> a number token with the value of the line it names.
bool reduceReferences(std::int32_t first, std::int32_t end, std::int32_t line) {
  for (std::int32_t p = first; p < end;) {
    const std::uint8_t byte = TokenBuffer[line][p];
    if (byte == kReferenceToken && !reduceReference(p, line)) return false;
    p += isIndexedToken(byte) ? 2 : 1;
  }
  return true;
}

// Pass 3: function "n" -> "n", the argument's slot receiving the function's value.
bool reduceFunctions(std::int32_t first, std::int32_t& end, std::int32_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  for (std::int32_t p = first; p < end;) {
    const std::uint8_t byte = stream[p];
    if (byte == kNumberToken) {
      p += 2;
    } else if (byte == kFunctionToken) {
      if (!numberAt(p + 2, first, line)) return internalError();
      const std::uint8_t argument = stream[p + 3];
      NumberPool[argument] = applyFunction(stream[p + 1], NumberPool[argument]);
      stream[p] = kNumberToken;
      stream[p + 1] = argument;
      removeTokens(static_cast<std::uint8_t>(p + 2), static_cast<std::uint8_t>(p + 3),
                   static_cast<std::uint8_t>(line));
      end -= 2;
      p += 2;
    } else {
      ++p;
    }
  }
  return true;
}

// Passes 4 to 6.
bool reducePowers(std::int32_t first, std::int32_t& end, std::int32_t line) {
  return reduceOperators('^', '^', first, end, line);
}

bool reduceProducts(std::int32_t first, std::int32_t& end, std::int32_t line) {
  return reduceOperators('*', '/', first, end, line);
}

bool reduceSums(std::int32_t first, std::int32_t& end, std::int32_t line) {
  return reduceOperators('+', '-', first, end, line);
}

void removeTokens(std::uint8_t first, std::uint8_t last, std::uint8_t line) {
  std::uint8_t* stream = TokenBuffer[line];
  const std::int32_t count = lastToken[line] - last;
  // Front first, towards the front, so the overlap is safe. A loop rather than memmove: the
  // tail is a few bytes, and the fortified memmove shares glibc's entry point with the
  // fortified memcpy, whose overlap check valgrind then applies to it.
  for (std::int32_t i = 0; i < count; ++i)
    stream[first + i] = stream[last + 1 + i];
  lastToken[line] = first + count - 1;
}

bool evaluateRange(std::int32_t first, std::int32_t end, std::int32_t line) {
  // A bracket that holds a single number, as most function arguments do, has nothing to reduce.
  if (end - first <= 2 && TokenBuffer[line][first] == kNumberToken) return true;
  if (!reduceBrackets(first, end, line)) return false;
  // A pass that finds nothing of its own kind changes nothing and reports nothing, so only the
  // passes whose tokens stand in the range run.
  const unsigned kinds = kindsInRange(first, end, line);
  if ((kinds & kReferences) && !reduceReferences(first, end, line)) return false;
  if ((kinds & kFunctions) && !reduceFunctions(first, end, line)) return false;
  // What is left is numbers and operators; in one reading when it has the plain form.
  if (kFloatArithmeticRounds && reduceFlatRange(first, end, line)) return true;
  return (!(kinds & kPowers) || reducePowers(first, end, line)) &&
         (!(kinds & kProducts) || reduceProducts(first, end, line)) &&
         (!(kinds & kSums) || reduceSums(first, end, line));
}

bool evaluateLine(std::int32_t line) {
  lineUnderEvaluation[line] = true;
  bool evaluated = (kFloatArithmeticRounds && reducePlainLine(line)) ||
                   evaluateRange(0, lastToken[line] + 1, line);
  // A whole line reduces to one number token whose slot holds its value.
  if (evaluated && (lastToken[line] < 1 || TokenBuffer[line][0] != kNumberToken))
    evaluated = internalError();
  lineUnderEvaluation[line] = false;
  return evaluated;
}
