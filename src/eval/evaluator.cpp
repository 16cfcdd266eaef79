// The evaluator: six left-to-right passes over a token stream, each reducing one kind of
// operation to number tokens, so that precedence follows the order of the passes.
#include "eval/evaluator.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "workspace/workspace.hpp"

namespace {

// Lines whose evaluation has begun and not yet ended.
bool lineUnderEvaluation[kMaxLines];

bool fail(const Message& message) {
  printMessageLine(message);
  return false;
}

bool internalError() {
  return fail(kInternalError);
}

// A function of a single-precision argument, computed in double precision and rounded once.
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

// A number token stands at x: inside the range and the stream, and its byte is "n".
bool numberAt(std::int32_t x, std::int32_t first, std::int32_t line) {
  return x >= first && x <= lastToken[line] && TokenBuffer[line][x] == kNumberToken;
}

// removeTokens for the positions of a pass, which are within the 50 bytes of a stream.
void removePositions(std::int32_t first, std::int32_t last, std::int32_t line) {
  removeTokens(static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(last),
               static_cast<std::uint8_t>(line));
}

float& slotNamedAt(std::int32_t position, std::int32_t line) {
  return NumberPool[TokenBuffer[line][position]];
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
  if (slot >= kNumberPoolSize) return fail(kPoolExhausted);
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
      removePositions(p, p, line);
      end -= 1;
      p += 2;
      continue;
    }
    slotNamedAt(p - 1, line) =
        applyOperator(byte, slotNamedAt(p - 1, line), slotNamedAt(p + 2, line));
    removePositions(p, p + 2, line);
    end -= 3;
  }
  return true;
}

// Passes 2 to 6, which reduce a range that holds no bracket.
bool reduceOperations(std::int32_t first, std::int32_t end, std::int32_t line) {
  return reduceReferences(first, end, line) && reduceFunctions(first, end, line) &&
         reducePowers(first, end, line) && reduceProducts(first, end, line) &&
         reduceSums(first, end, line);
}

}  // namespace

// Pass 1: "(" inside ")" -> the inside's number token. The innermost pair closes first, so the
// inside holds no bracket, and the other passes reduce it.
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
      if (!reduceOperations(open + 1, close - 1, line)) return false;
      if (stream[open + 1] != kNumberToken || open + 3 > lastToken[line] || stream[open + 3] != ')')
        return internalError();
      stream[open] = kNumberToken;
      stream[open + 1] = stream[open + 2];
      removePositions(open + 2, open + 3, line);
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
      removePositions(p + 2, p + 3, line);
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
  // The tail moves towards the front, which std::copy allows for overlapping ranges.
  const std::uint8_t* end =
      std::copy(stream + last + 1, stream + lastToken[line] + 1, stream + first);
  lastToken[line] = static_cast<std::int32_t>(end - stream) - 1;
}

bool evaluateRange(std::int32_t first, std::int32_t end, std::int32_t line) {
  return reduceBrackets(first, end, line) && reduceOperations(first, end, line);
}

bool evaluateLine(std::int32_t line) {
  lineUnderEvaluation[line] = true;
  bool evaluated = evaluateRange(0, lastToken[line] + 1, line);
  // A whole line reduces to one number token whose slot holds its value.
  if (evaluated && (lastToken[line] < 1 || TokenBuffer[line][0] != kNumberToken))
    evaluated = internalError();
  lineUnderEvaluation[line] = false;
  return evaluated;
}
