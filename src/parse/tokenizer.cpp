// The line tokenizer: an eight-state machine that reads a line once, character by character.
#include "parse/tokenizer.hpp"

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

bool emitNumber(const Scan& scan, signed char terminator) {
  if (!store(scan, kNumberToken)) return false;
  const auto slot = static_cast<std::uint8_t>(lastNumber + 1);
  if (slot >= kNumberPoolSize) return refuse(scan, kTooManyNumbers);
  lastNumber = slot;
  NumberPool[slot] = static_cast<float>(std::atof(currentText.c_str()));
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

// number -> digit {digit} ["." {digit}], ended by an operator, ")" or the end of the text
Step readNumber(Scan& scan, signed char c, bool atEnd) {
  if (!atEnd && (isDigit(c) || (c == '.' && !scan.point))) {
    if (c == '.') scan.point = true;
    currentText.push_back(static_cast<char>(c));
    return Step::kAdvance;
  }
  if (!isTerminator(c, atEnd)) return syntaxError(scan, c);
  scan.state = kAfterOperand;
  return succeedIf(emitNumber(scan, c));
}

// name -> letter {letter | digit}, a function call when "(" follows, else a reference
Step readName(Scan& scan, signed char c, bool atEnd) {
  if (!atEnd && (isLetter(c) || isDigit(c))) {
    currentText.push_back(static_cast<char>(c));
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
  Scan scan{line, LineTable[line]};
  currentText.clear();
  lastToken[line] = kEmptyStream;
  const auto length = static_cast<std::ptrdiff_t>(scan.text.size());
  while (true) {
    const bool atEnd = scan.position == length;
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
