// The line tokenizer: an eight-state machine that reads a line once. Names and numbers are read
// as whole runs and the other characters one by one, each in a few instructions.
#include "parse/tokenizer.hpp"

#include <array>
#include <cstddef>
#include <cstring>
#include <iostream>
#include <limits>
#include <string_view>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "platform/platform.hpp"
#include "text/characters.hpp"
#include "text/decimal.hpp"
#include "text/utf8.hpp"
#include "workspace/workspace.hpp"

namespace {

// The states of the machine, numbered as the transition table numbers them. States 0 to 3 read
// the head (readHead), state 4 and 7 are the two loops of readExpression, and states 5 and 6,
// inside a number or a name, are one run each (readNumber, readName).
//   0: the line's first character        4: after "=", after a plain "(", after a unary minus
//   1: the "=" after the head name       5: inside a number
//   2: the first character of the head   6: inside a name after "="
//   3: the rest of the head name         7: after an operand's terminator, a function's "(",
//                                           or ")" and what follows it

// The working state of one call of tokenizeLine. The stream's end is kept here and written to
// lastToken when the call ends, so that storing a byte touches no other table. Nothing takes
// the address of a Scan beyond the functions here, which the compiler inlines, so that its
// fields stay in registers; the reports get the values they write.
struct Scan {
  const char* text;  // std::string puts a NUL after the last character
  const char* at;    // the character being read
  const char* end;
  std::uint8_t* next;       // where the next byte of the stream goes
  std::uint8_t* streamEnd;  // past the last byte the stream has room for
  int line;
  bool incomplete = true;  // cleared by the first character after "="
};

// A name or number interrupted by spaces is gathered here; kept between calls so that its
// storage is reused. Text without spaces is read where it stands.
std::string spacedText;

bool atEnd(const Scan& scan) {
  return scan.at == scan.end;
}

// The space is skipped in every state, inside names and numbers too. The NUL after the text
// stops the loop at the end.
void skipSpaces(Scan& scan) {
  while (*scan.at == ' ')
    ++scan.at;
}

// The offending character at `at`: where the console's text is UTF-8 and a well-formed
// sequence of several bytes starts there within the line, the whole sequence, so that the
// report shows a character and not a piece of one; otherwise the byte alone.
std::string_view offendingCharacter(const char* at, const char* end) {
  const std::string_view rest(at, static_cast<std::size_t>(end - at));
  const std::size_t length = kConsoleTextIsUtf8 ? utf8SequenceLength(rest) : 0;
  return std::string_view(at, length == 0 ? 1 : length);
}

// The position is the byte's: before the first byte of 128 or above every character of a
// line is one byte, so it is the character's position too.
[[gnu::noinline]] bool reportSyntaxError(int line, const char* text, const char* at,
                                         const char* end) {
  printLineReport(kSyntaxError.text, line);
  printMessage(kPosition.text);
  std::cout << at - text;
  printMessage(kCharacter.text);
  std::cout << offendingCharacter(at, end) << endLine;
  return false;
}

bool syntaxError(const Scan& scan) {
  return reportSyntaxError(scan.line, scan.text, scan.at, scan.end);
}

[[gnu::noinline]] bool refuse(int line, const Message& limit) {
  printLineReport(limit.text, line);
  return false;
}

bool store(Scan& scan, char byte) {
  if (scan.next == scan.streamEnd) return refuse(scan.line, kTooLongStream);
  *scan.next++ = static_cast<std::uint8_t>(byte);
  return true;
}

// A run's text and the position after it.
struct Run {
  std::string_view text;
  const char* after;
};

// The rest of a run that a space interrupted at `at`: gathers `run` and what continues it
// after spaces, as `continues` tells, into spacedText. It takes no Scan, whose address must
// not escape.
template <typename Continues>
[[gnu::noinline]] Run gatherSpacedRun(std::string_view run, const char* at, const char* end,
                                      Continues continues) {
  spacedText.assign(run);
  while (true) {
    while (*at == ' ')
      ++at;
    if (at == end || !continues(*at)) return {spacedText, at};
    spacedText.push_back(*at++);
  }
}

// Reads the run of characters that `continues` accepts from the position on, spaces skipped;
// leaves the position on the first other character, or at the end, and returns the run's text.
// The NUL after the text continues no run.
template <typename Continues>
std::string_view readRun(Scan& scan, Continues continues) {
  const char* const start = scan.at;
  while (continues(*scan.at))
    ++scan.at;
  // A NUL inside the text is no end; it ends the run as any other character that cannot
  // continue it does.
  const std::string_view run(start, static_cast<std::size_t>(scan.at - start));
  if (*scan.at != ' ') return run;
  const Run gathered = gatherSpacedRun(run, scan.at, scan.end, continues);
  scan.at = gathered.after;
  return gathered.text;
}

bool define(const Scan& scan, std::string_view name) {
  if (lastDefinition + 1 >= kMaxDefinitions) return refuse(scan.line, kTooManyDefinitions);
  Definition& entry = DefinitionTable[++lastDefinition];
  entry.name.assign(name);
  entry.line = scan.line;
  return true;
}

// A number as readNumber reads it without spaces: its text, and its digits as an integer,
// how many there are and how many of them follow the point.
struct NumberRun {
  std::string_view text;
  std::uint64_t digits;
  int count;
  int places;
};

// The count of a number whose digits were not gathered as it was read.
constexpr int kDigitsNotGathered = std::numeric_limits<int>::max();

// With at most 19 digits no more than 19 are significant and their integer is exact, so the
// digits already read give numberValue's result; longer texts take the whole way.
float runValue(const NumberRun& number) {
  if (number.count > 19) return numberValue(number.text);
  return decimalValue(number.digits, number.places, number.text);
}

// The terminator of an operand: an operator or ")" at the position, or the end of the text
// (the end byte). A NUL byte inside the text is no terminator.
bool atTerminator(const Scan& scan) {
  return atEnd(scan) || isIn(*scan.at, kOperator | kClosingBracket);
}

// Stores the terminator at the position and steps over it; the end of the text is stored as
// the end byte, the NUL that std::string keeps there.
bool storeTerminator(Scan& scan) {
  const char terminator = *scan.at;
  if (!atEnd(scan)) ++scan.at;
  return store(scan, terminator);
}

bool emitNumber(Scan& scan, const NumberRun& number) {
  if (!store(scan, kNumberToken)) return false;
  const auto slot = static_cast<std::uint8_t>(lastNumber + 1);
  if (slot >= kNumberPoolSize) return refuse(scan.line, kTooManyNumbers);
  lastNumber = slot;
  NumberPool[slot] = runValue(number);
  return store(scan, static_cast<char>(slot)) && storeTerminator(scan);
}

bool emitReference(Scan& scan, std::string_view name) {
  if (!store(scan, kReferenceToken)) return false;
  if (lastReference + 1 >= kMaxReferences) return refuse(scan.line, kTooManyReferences);
  Reference& entry = ReferenceTable[++lastReference];
  entry.name.assign(name);
  entry.line = scan.line;
  return store(scan, static_cast<char>(lastReference)) && storeTerminator(scan);
}

// A name in one integer: its length (8 for any longer than seven bytes) in the low byte, then
// its first seven bytes. Names of up to seven bytes, as every function name is, have equal keys
// exactly when they are equal; longer ones are compared whole besides.
std::uint64_t nameKey(std::string_view name) {
  const std::size_t kept = name.size() < 7 ? name.size() : 7;
  std::uint64_t key = name.size() < 8 ? name.size() : 8;
  for (std::size_t i = 0; i < kept; ++i)
    key |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * (i + 1));
  return key;
}

// The keys of the FunctionTable entries, made at the first lookup.
const std::array<std::uint64_t, kFunctionCount>& functionKeys() {
  static const std::array<std::uint64_t, kFunctionCount> keys = [] {
    std::array<std::uint64_t, kFunctionCount> made{};
    for (int i = 0; i < kFunctionCount; ++i)
      made[i] = nameKey(FunctionTable[i]);
    return made;
  }();
  return keys;
}

// The index (1..8) of the function with this name, or 0; entry 0 is never compared. Keys are
// compared first; a name longer than seven bytes is compared whole as well.
std::int8_t functionIndex(std::string_view name) {
  const std::array<std::uint64_t, kFunctionCount>& keys = functionKeys();
  const std::uint64_t key = nameKey(name);
  std::int8_t index = kFunctionCount - 1;
  while (index > 0 && (keys[index] != key || (name.size() > 7 && FunctionTable[index] != name)))
    --index;
  return index;
}

[[gnu::noinline]] bool reportUnknownFunction(std::string_view name) {
  printMessage(kUnknownFunction.text);
  std::cout << name << endLine;
  return false;
}

// The position is on the "(" after the name.
bool emitFunction(Scan& scan, std::string_view name) {
  const std::int8_t index = functionIndex(name);
  if (index == 0) return reportUnknownFunction(name);
  ++scan.at;
  return store(scan, kFunctionToken) && store(scan, static_cast<char>(index)) && store(scan, '(');
}

// Appends the digits from `at` on to `digits` (wrapping past 64 bits, when they are not used),
// leaving `at` on the first character that is no digit.
std::uint64_t gatherDigits(const char*& at, std::uint64_t digits) {
  while (true) {
    const unsigned digit = static_cast<unsigned char>(*at) - unsigned{'0'};
    if (digit > 9) return digits;
    digits = digits * 10 + digit;
    ++at;
  }
}

// number -> digit {digit} ["." {digit}], ended by an operator, ")" or the end of the text.
// The digits are gathered into an integer as they are read.
bool readNumber(Scan& scan) {
  const char* const start = scan.at;
  const char* point = nullptr;
  std::uint64_t digits = gatherDigits(scan.at, 0);
  if (*scan.at == '.') {
    point = scan.at++;
    digits = gatherDigits(scan.at, digits);
  }
  NumberRun number{{start, static_cast<std::size_t>(scan.at - start)}, digits, 0, 0};
  if (*scan.at == ' ') {
    // Spaces inside the number: the rest is gathered as text, for numberValue to read.
    bool pointRead = point != nullptr;
    const Run gathered = gatherSpacedRun(number.text, scan.at, scan.end, [&pointRead](char c) {
      if (isIn(c, kDigit)) return true;
      if (c != '.' || pointRead) return false;
      pointRead = true;
      return true;
    });
    scan.at = gathered.after;
    number = {gathered.text, 0, kDigitsNotGathered, 0};
  } else {
    number.count = static_cast<int>(number.text.size()) - (point != nullptr);
    number.places = point == nullptr ? 0 : static_cast<int>(scan.at - point - 1);
  }
  if (!atTerminator(scan)) return syntaxError(scan);
  return emitNumber(scan, number);
}

// name -> letter {letter | digit}, a function call when "(" follows, else a reference
bool readName(Scan& scan) {
  const std::string_view name = readRun(scan, continuesName);
  if (*scan.at == '(' && !atEnd(scan)) return emitFunction(scan, name);
  if (!atTerminator(scan)) return syntaxError(scan);
  return emitReference(scan, name);
}

// operand -> number | name (states 4 and 7 on a digit or a letter)
bool readOperand(Scan& scan) {
  const char c = *scan.at;
  if (isIn(c, kDigit)) return readNumber(scan);
  if (isIn(c, kLetter)) return readName(scan);
  return syntaxError(scan);
}

// How the head of a line ends.
enum class Head { kRead, kTextEnded, kFailed };

Head failedAt(const Scan& scan) {
  syntaxError(scan);
  return Head::kFailed;
}

// head -> "?" "=" | letter {letter | digit} "=" (states 0 to 3)
Head readHead(Scan& scan) {
  skipSpaces(scan);
  if (atEnd(scan)) return Head::kTextEnded;
  std::string_view name = "?";
  if (*scan.at == '?') {
    ++scan.at;
  } else {
    if (!isIn(*scan.at, kLetter)) return failedAt(scan);
    name = readRun(scan, continuesName);
  }
  skipSpaces(scan);
  if (atEnd(scan)) return Head::kTextEnded;
  if (*scan.at != '=') return failedAt(scan);
  ++scan.at;
  return define(scan, name) ? Head::kRead : Head::kFailed;
}

// Stores the character at the position and steps over it.
bool storeCurrent(Scan& scan) {
  return store(scan, *scan.at++);
}

// The expression after "=": state 4 takes "(" and a unary minus before an operand, state 7
// what follows an operand, until the end of the text.
bool readExpression(Scan& scan) {
  bool operandStart = true;
  // Whether the byte last stored is ")", kept here rather than read back from the stream.
  bool afterClosing = false;
  while (true) {
    skipSpaces(scan);
    if (atEnd(scan)) return true;
    const char c = *scan.at;
    if (operandStart) {
      scan.incomplete = false;
      if (c == '(' || c == '-') {
        if (!storeCurrent(scan)) return false;
        continue;
      }
    } else if (afterClosing) {
      // After ")" only an operator or another ")" may follow.
      if (!isIn(c, kOperator | kClosingBracket)) return syntaxError(scan);
      if (!storeCurrent(scan)) return false;
      afterClosing = c == ')';
      continue;
    } else if (c == '(') {
      if (!storeCurrent(scan)) return false;
      operandStart = true;
      continue;
    }
    if (!readOperand(scan)) return false;
    operandStart = false;
    afterClosing = scan.next[-1] == ')';
  }
}

// An empty expression, or one that stops right after an operator or a unary minus, is incomplete.
bool finish(const Scan& scan) {
  if (scan.incomplete || isIn(static_cast<char>(scan.next[-1]), kOperator)) {
    printMessage(kIncompleteLine.text);
    std::cout << endLine;
    return false;
  }
  return true;
}

}  // namespace

bool tokenizeLine(int line) {
  const std::string& text = LineTable[line];
  std::uint8_t* const stream = TokenBuffer[line];
  Scan scan{.text = text.data(),
            .at = text.data(),
            .end = text.data() + text.size(),
            .next = stream,
            .streamEnd = stream + kTokenBufferSize,
            .line = line};
  const Head head = readHead(scan);
  const bool read = head == Head::kTextEnded || (head == Head::kRead && readExpression(scan));
  lastToken[line] = static_cast<std::int32_t>(scan.next - stream) - 1;
  return read && finish(scan);
}

bool tokenizeAll() {
  for (int line = 0; line < lineCount; ++line) {
    if (!tokenizeLine(line)) return false;
  }
  return true;
}

std::int8_t findFunction(const std::string& name) {
  const std::int8_t index = functionIndex(name);
  if (index == 0) reportUnknownFunction(name);
  return index;
}
