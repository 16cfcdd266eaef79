// The line tokenizer: reads a line once, checking its syntax while it writes the token stream
// and appends the line's definition, references and numbers to the tables.
#include "parse/tokenizer.hpp"

#include <cstddef>
#include <iostream>
#include <string_view>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "platform/platform.hpp"
#include "text/characters.hpp"
#include "text/number_text.hpp"
#include "text/utf8.hpp"
#include "workspace/workspace.hpp"

namespace {

// The line being read and the position of the character being read.
struct Scan {
  std::string_view text;
  std::size_t at;
  int line;
};

// The name or number being read, its blanks left out. A stored line is no longer than a word,
// so no run fills it; a longer text given to the tokenizer is cut rather than written past it.
char runBytes[kMaxWordBytes];

bool atEnd(const Scan& scan) {
  return scan.at == scan.text.size();
}

char current(const Scan& scan) {
  return atEnd(scan) ? '\0' : scan.text[scan.at];
}

// A blank is skipped wherever it stands, inside names and numbers too.
void skipBlanks(Scan& scan) {
  while (!atEnd(scan) && scan.text[scan.at] == ' ')
    ++scan.at;
}

// The character at the position as the console shows it: where the console's text is UTF-8 and
// a well-formed sequence of several bytes starts there, the whole sequence; otherwise the byte.
std::string_view offendingCharacter(const Scan& scan) {
  const std::string_view rest = scan.text.substr(scan.at);
  const std::size_t length = kConsoleTextIsUtf8 ? utf8SequenceLength(rest) : 0;
  return rest.substr(0, length == 0 ? 1 : length);
}

// The position counts bytes: before the first byte of 128 or above every character of a line
// is one byte, so it is the character's position too.
bool syntaxError(const Scan& scan) {
  reportStoredLine(kSyntaxError, scan.line);
  printMessage(kPosition.text);
  std::cout << static_cast<std::int32_t>(scan.at);
  printMessage(kCharacter.text);
  printTypedText(offendingCharacter(scan));
  std::cout << endLine;
  return false;
}

bool refuse(const Scan& scan, const Message& limit) {
  reportStoredLine(limit, scan.line);
  return false;
}

// Appends a byte to the line's stream.
bool store(const Scan& scan, char byte) {
  std::int32_t& last = lastToken[scan.line];
  if (last + 1 >= kTokenBufferSize) return refuse(scan, kTooLongStream);
  TokenBuffer[scan.line][++last] = static_cast<std::uint8_t>(byte);
  return true;
}

// Stores the character at the position and steps over it.
bool storeCurrent(Scan& scan) {
  return store(scan, scan.text[scan.at++]);
}

// Reads the characters that `continues` accepts from the position on into runBytes, and leaves
// the position on the first other character or at the end.
template <typename Continues>
std::string_view readRun(Scan& scan, Continues continues) {
  std::size_t length = 0;
  for (; !atEnd(scan); ++scan.at) {
    const char c = scan.text[scan.at];
    if (c == ' ') continue;
    if (!continues(c) || length == sizeof runBytes) break;
    runBytes[length++] = c;
  }
  return {runBytes, length};
}

// An operand ends at an operator, at ")" or at the end of the text; a NUL byte inside the text
// is no end.
bool atTerminator(const Scan& scan) {
  return atEnd(scan) || isIn(scan.text[scan.at], kOperator | kClosingBracket);
}

// Stores the terminator and steps over it: the end of the text is stored as the end byte.
bool storeTerminator(Scan& scan) {
  if (atEnd(scan)) return store(scan, static_cast<char>(kEndByte));
  return storeCurrent(scan);
}

bool define(const Scan& scan, std::string_view name) {
  if (lastDefinition + 1 >= kMaxDefinitions) return refuse(scan, kTooManyDefinitions);
  Definition& entry = DefinitionTable[++lastDefinition];
  entry.name = name;
  entry.line = scan.line;
  return true;
}

bool emitNumber(Scan& scan, float value) {
  if (!store(scan, kNumberToken)) return false;
  const auto slot = static_cast<std::uint8_t>(lastNumber + 1);
  if (slot >= kNumberPoolSize) return refuse(scan, kTooManyNumbers);
  lastNumber = slot;
  NumberPool[slot] = value;
  return store(scan, static_cast<char>(slot)) && storeTerminator(scan);
}

bool emitReference(Scan& scan, std::string_view name) {
  if (!store(scan, kReferenceToken)) return false;
  if (lastReference + 1 >= kMaxReferences) return refuse(scan, kTooManyReferences);
  Reference& entry = ReferenceTable[++lastReference];
  entry.name = name;
  entry.line = scan.line;
  return store(scan, static_cast<char>(lastReference)) && storeTerminator(scan);
}

// The position is on the "(" after the name.
bool emitFunction(Scan& scan, std::string_view name) {
  const std::int8_t index = findFunction(name);
  if (index == 0) return false;
  ++scan.at;
  return store(scan, kFunctionToken) && store(scan, static_cast<char>(index)) && store(scan, '(');
}

// number -> digit {digit} ["." {digit}], then an operator, ")" or the end of the text
bool readNumber(Scan& scan) {
  bool pointRead = false;
  const std::string_view digits = readRun(scan, [&pointRead](char c) {
    if (c != '.') return isIn(c, kDigit);
    if (pointRead) return false;
    pointRead = true;
    return true;
  });
  if (!atTerminator(scan)) return syntaxError(scan);
  return emitNumber(scan, numberValue(digits));
}

// name -> letter {letter | digit}: a function's when "(" follows, else a reference, which an
// operator, ")" or the end of the text must follow
bool readName(Scan& scan) {
  const std::string_view name = readRun(scan, continuesName);
  if (current(scan) == '(') return emitFunction(scan, name);
  if (!atTerminator(scan)) return syntaxError(scan);
  return emitReference(scan, name);
}

bool readOperand(Scan& scan) {
  const char c = current(scan);
  if (isIn(c, kDigit)) return readNumber(scan);
  if (isIn(c, kLetter)) return readName(scan);
  return syntaxError(scan);
}

// How the head of a line ended.
enum class Head { read, textEnded, failed };

Head failedAt(const Scan& scan) {
  syntaxError(scan);
  return Head::failed;
}

// head -> "?" "=" | letter {letter | digit} "="
Head readHead(Scan& scan) {
  skipBlanks(scan);
  std::string_view name;
  if (atEnd(scan)) return Head::textEnded;
  if (current(scan) == '?') {
    name = kTaskName;
    ++scan.at;
  } else if (isIn(current(scan), kLetter)) {
    name = readRun(scan, continuesName);
  } else {
    return failedAt(scan);
  }
  skipBlanks(scan);
  if (atEnd(scan)) return Head::textEnded;
  if (current(scan) != '=') return failedAt(scan);
  ++scan.at;
  return define(scan, name) ? Head::read : Head::failed;
}

// What the next character of an expression may be.
enum class Expected {
  operandOrPrefix,  // after "=", a plain "(" or a unary minus: an operand, "(" or "-"
  operand,          // after an operator or a function's "(": an operand or "("
  afterClosing,     // after ")": an operator or ")"
};

// What may follow the byte that ended an operand.
Expected afterOperand(const Scan& scan) {
  const std::uint8_t last = TokenBuffer[scan.line][lastToken[scan.line]];
  return last == ')' ? Expected::afterClosing : Expected::operand;
}

// expression -> {"(" | "-"} operand {operator {"("} operand}, brackets closed after operands
bool readExpression(Scan& scan) {
  Expected expected = Expected::operandOrPrefix;
  while (true) {
    skipBlanks(scan);
    if (atEnd(scan)) return true;
    const char c = current(scan);
    if (expected == Expected::afterClosing) {
      if (!isIn(c, kOperator | kClosingBracket)) return syntaxError(scan);
      if (!storeCurrent(scan)) return false;
      expected = c == ')' ? Expected::afterClosing : Expected::operand;
    } else if (c == '(' || (c == '-' && expected == Expected::operandOrPrefix)) {
      if (!storeCurrent(scan)) return false;
      expected = Expected::operandOrPrefix;
    } else {
      if (!readOperand(scan)) return false;
      expected = afterOperand(scan);
    }
  }
}

// A line whose text ends before its expression, or right after an operator or a unary minus,
// is incomplete.
bool isComplete(int line) {
  const std::int32_t last = lastToken[line];
  if (last >= 0 && !isIn(static_cast<char>(TokenBuffer[line][last]), kOperator)) return true;
  printMessageLine(kIncompleteLine);
  return false;
}

}  // namespace

bool tokenizeLine(int line) {
  Scan scan{LineTable[line], 0, line};
  lastToken[line] = kEmptyStream;
  const Head head = readHead(scan);
  if (head == Head::failed) return false;
  if (head == Head::read && !readExpression(scan)) return false;
  return isComplete(line);
}

bool tokenizeAll() {
  for (int line = 0; line < lineCount; ++line) {
    if (!tokenizeLine(line)) return false;
  }
  return true;
}

std::int8_t findFunction(std::string_view name) {
  std::int8_t index = kFunctionCount - 1;
  while (index > 0 && FunctionTable[index] != name)
    --index;
  if (index == 0) {
    printMessage(kUnknownFunction.text);
    std::cout << name << endLine;
  }
  return index;
}
