// The line tokenizer: an eight-state machine that reads a line once, character by character.
#include "parse/tokenizer.hpp"

#include <cfloat>
#include <cstddef>
#include <cstdlib>
#include <iostream>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "workspace/workspace.hpp"

namespace {

enum State {
  kLineStart,     // 0: the line's first character
  kHeadEquals,    // 1: the "=" after the head name
  kHeadFirst,     // 2: the first character of the head name
  kHeadRest,      // 3: the rest of the head name
  kOperandStart,  // 4: after "=", after a plain "(", after a unary minus
  kInNumber,      // 5: inside a number
  kInName,        // 6: inside a name after "="
  kAfterOperand,  // 7: after an operand's terminator, a function's "(", or ")" and what follows it
};

// What happens after a state has handled a character.
enum class Step { kAdvance, kReread, kFail };

// The working state of one call of tokenizeLine.
struct Scan {
  int line;
  const std::string& text;
  std::ptrdiff_t length;
  std::ptrdiff_t position = 0;
  State state = kLineStart;
  bool incomplete = true;  // cleared by the first character after "="
  bool point = false;      // the number being read has its decimal point
};

// The name or number being collected; kept between calls so that its storage is reused.
std::string currentText;

// Character classes over signed bytes, independent of the locale: bytes 128..255 are in none.
bool isLetter(signed char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(signed char c) {
  return c >= '0' && c <= '9';
}
bool isOperator(signed char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}
// Only the real end of the text ends an operand; a NUL byte inside the text is no terminator.
bool isTerminator(signed char c, bool atEnd) {
  return atEnd || isOperator(c) || c == ')';
}

std::uint8_t& lastByte(const Scan& scan) {
  return TokenBuffer[scan.line][lastToken[scan.line]];
}

Step syntaxError(const Scan& scan, signed char c) {
  printLineReport(kSyntaxError.text, scan.line);
  printMessage(kPosition.text);
  std::cout << scan.position;
  printMessage(kCharacter.text);
  std::cout << static_cast<char>(c) << endLine;
  return Step::kFail;
}

bool refuse(const Scan& scan, const Message& limit) {
  printLineReport(limit.text, scan.line);
  return false;
}

bool store(const Scan& scan, std::uint8_t byte) {
  if (lastToken[scan.line] + 1 >= kTokenBufferSize) return refuse(scan, kTooLongStream);
  TokenBuffer[scan.line][++lastToken[scan.line]] = byte;
  return true;
}

bool define(const Scan& scan) {
  if (lastDefinition + 1 >= kMaxDefinitions) return refuse(scan, kTooManyDefinitions);
  Definition& entry = DefinitionTable[++lastDefinition];
  entry.name = currentText;
  currentText.clear();
  entry.line = scan.line;
  return true;
}

// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPlaces = 22;
constexpr std::uint64_t kMaxExactDigits = std::uint64_t{1} << 53;

// Whether a double division is rounded to double. On x87 (FLT_EVAL_METHOD 2) it is carried out
// in 80-bit registers, and the conversion to float then rounds that straight to single
// precision, skipping the rounding to double: one number in a few million would come out one
// float away from atof's.
constexpr bool kDoubleDivisionRounds = FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1;

// The value of a number's text (digits with at most one "."), rounded to double and then to
// single precision, as atof gives it. When the digits form an integer of at most 53 bits and
// at most 22 of them follow the point, both operands of digits / 10^places are exact doubles,
// so the one rounding of the division gives the nearest double, as atof does, in a fraction
// of its time; other texts, and every text where double arithmetic is not rounded to double,
// go to atof itself.
float numberValue(const std::string& text) {
  if constexpr (!kDoubleDivisionRounds) return static_cast<float>(std::atof(text.c_str()));
  std::uint64_t digits = 0;
  int significant = 0;
  int places = 0;
  bool afterPoint = false;
  for (const char c : text) {
    if (c == '.') {
      afterPoint = true;
      continue;
    }
    if (significant == 19) return static_cast<float>(std::atof(text.c_str()));
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    if (digits != 0) ++significant;
    if (afterPoint) ++places;
  }
  if (digits > kMaxExactDigits || places > kMaxExactPlaces) {
    return static_cast<float>(std::atof(text.c_str()));
  }
  return static_cast<float>(static_cast<double>(digits) / kExactPowersOfTen[places]);
}

bool emitNumber(const Scan& scan, signed char terminator) {
  if (!store(scan, kNumberToken)) return false;
  const auto slot = static_cast<std::uint8_t>(lastNumber + 1);
  if (slot >= kNumberPoolSize) return refuse(scan, kTooManyNumbers);
  lastNumber = slot;
  NumberPool[slot] = numberValue(currentText);
  return store(scan, slot) && store(scan, static_cast<std::uint8_t>(terminator));
}

bool emitReference(const Scan& scan, signed char terminator) {
  if (!store(scan, kReferenceToken)) return false;
  if (lastReference + 1 >= kMaxReferences) return refuse(scan, kTooManyReferences);
  Reference& entry = ReferenceTable[++lastReference];
  entry.name = currentText;
  currentText.clear();
  entry.line = scan.line;
  return store(scan, static_cast<std::uint8_t>(lastReference)) &&
         store(scan, static_cast<std::uint8_t>(terminator));
}

bool emitFunction(const Scan& scan) {
  const std::int8_t index = findFunction(currentText);
  if (index == 0) return false;
  return store(scan, kFunctionToken) && store(scan, static_cast<std::uint8_t>(index)) &&
         store(scan, '(');
}

Step succeedIf(bool stored) {
  return stored ? Step::kAdvance : Step::kFail;
}

void beginText(signed char c) {
  currentText.assign(1, static_cast<char>(c));
}

// head -> "?" "=" | letter {letter | digit} "="
Step readHead(Scan& scan, signed char c) {
  switch (scan.state) {
    case kLineStart:
      if (c == '?') {
        beginText(c);
        scan.state = kHeadEquals;
        return Step::kAdvance;
      }
      scan.state = kHeadFirst;
      return Step::kReread;
    case kHeadEquals:
      if (c != '=') return syntaxError(scan, c);
      scan.state = kOperandStart;
      return succeedIf(define(scan));
    case kHeadFirst:
      if (!isLetter(c)) return syntaxError(scan, c);
      beginText(c);
      scan.state = kHeadRest;
      return Step::kAdvance;
    default:  // kHeadRest
      if (isLetter(c) || isDigit(c)) {
        currentText.push_back(static_cast<char>(c));
        return Step::kAdvance;
      }
      if (c != '=') return syntaxError(scan, c);
      scan.state = kHeadEquals;
      return Step::kReread;
  }
}

// operand -> number | name | function "(" ... | "(" ... | "-" operand
Step startOperand(Scan& scan, signed char c) {
  if (isLetter(c)) {
    beginText(c);
    scan.state = kInName;
  } else if (isDigit(c)) {
    beginText(c);
    scan.point = false;
    scan.state = kInNumber;
  } else {
    return syntaxError(scan, c);
  }
  return Step::kAdvance;
}

// Both runs below append every character from the position on that continues the number or
// the name, and leave the position on the last of them: one turn of the machine per run
// instead of one per character.
void appendNumberRun(Scan& scan) {
  std::ptrdiff_t end = scan.position;
  for (; end < scan.length; ++end) {
    const char c = scan.text[end];
    if (c == '.' && !scan.point) {
      scan.point = true;
    } else if (!isDigit(c)) {
      break;
    }
  }
  currentText.append(scan.text, static_cast<std::size_t>(scan.position),
                     static_cast<std::size_t>(end - scan.position));
  scan.position = end - 1;
}

void appendNameRun(Scan& scan) {
  std::ptrdiff_t end = scan.position;
  while (end < scan.length && (isLetter(scan.text[end]) || isDigit(scan.text[end])))
    ++end;
  currentText.append(scan.text, static_cast<std::size_t>(scan.position),
                     static_cast<std::size_t>(end - scan.position));
  scan.position = end - 1;
}

// number -> digit {digit} ["." {digit}], ended by an operator, ")" or the end of the text
Step readNumber(Scan& scan, signed char c, bool atEnd) {
  if (!atEnd && (isDigit(c) || (c == '.' && !scan.point))) {
    appendNumberRun(scan);
    return Step::kAdvance;
  }
  if (!isTerminator(c, atEnd)) return syntaxError(scan, c);
  scan.state = kAfterOperand;
  return succeedIf(emitNumber(scan, c));
}

// name -> letter {letter | digit}, a function call when "(" follows, else a reference
Step readName(Scan& scan, signed char c, bool atEnd) {
  if (!atEnd && (isLetter(c) || isDigit(c))) {
    appendNameRun(scan);
    return Step::kAdvance;
  }
  scan.state = kAfterOperand;
  if (c == '(' && !atEnd) return succeedIf(emitFunction(scan));
  if (!isTerminator(c, atEnd)) return syntaxError(scan, c);
  return succeedIf(emitReference(scan, c));
}

// After ")" only an operator, another ")" or the end may follow; after an operator or a
// function's "(" an operand or "(" follows.
Step afterOperand(Scan& scan, signed char c) {
  if (lastByte(scan) == ')') {
    if (!isOperator(c) && c != ')') return syntaxError(scan, c);
    return succeedIf(store(scan, static_cast<std::uint8_t>(c)));
  }
  if (c == '(') {
    scan.state = kOperandStart;
    return succeedIf(store(scan, '('));
  }
  return startOperand(scan, c);
}

Step handle(Scan& scan, signed char c, bool atEnd) {
  switch (scan.state) {
    case kOperandStart:
      scan.incomplete = false;
      if (c == '(' || c == '-') {
        currentText.clear();
        return succeedIf(store(scan, static_cast<std::uint8_t>(c)));
      }
      return startOperand(scan, c);
    case kInNumber: return readNumber(scan, c, atEnd);
    case kInName: return readName(scan, c, atEnd);
    case kAfterOperand: return afterOperand(scan, c);
    default: return readHead(scan, c);
  }
}

// An empty expression, or one that stops right after an operator or a unary minus, is incomplete.
bool finish(const Scan& scan) {
  if (scan.incomplete || isOperator(static_cast<signed char>(lastByte(scan)))) {
    printMessage(kIncompleteLine.text);
    std::cout << endLine;
    return false;
  }
  return true;
}

}  // namespace

bool tokenizeLine(int line) {
  Scan scan{line, LineTable[line], static_cast<std::ptrdiff_t>(LineTable[line].size())};
  currentText.clear();
  lastToken[line] = kEmptyStream;
  while (true) {
    const bool atEnd = scan.position == scan.length;
    // The end of the text reaches the states only as the terminator of a number or a name.
    if (atEnd && scan.state != kInNumber && scan.state != kInName) break;
    const auto c = atEnd ? '\0' : static_cast<signed char>(scan.text[scan.position]);
    if (atEnd || c != ' ') {
      const Step step = handle(scan, c, atEnd);
      if (step == Step::kFail) return false;
      if (step == Step::kReread) continue;
    }
    ++scan.position;
    if (atEnd) break;
  }
  return finish(scan);
}

bool tokenizeAll() {
  for (int line = 0; line < lineCount; ++line) {
    if (!tokenizeLine(line)) return false;
  }
  return true;
}

std::int8_t findFunction(const std::string& name) {
  std::int8_t index = kFunctionCount - 1;
  while (index > 0 && FunctionTable[index] != name)
    --index;
  if (index == 0) {
    printMessage(kUnknownFunction.text);
    std::cout << name << endLine;
  }
  return index;
}
