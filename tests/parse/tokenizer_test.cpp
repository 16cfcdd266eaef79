// Tests of the line tokenizer: token streams byte for byte, table entries, reports, limits.
#include "parse/tokenizer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Tokenizer : public WorkspaceTest {
 protected:
  // Stores the text as line 0 and tokenizes it.
  bool tokenize(const std::string& text) {
    storeLines({text});
    return tokenizeLine(0);
  }
};

std::string syntaxReport(int line, const std::string& text, int position,
                         const std::string& character) {
  return "Ошибка синтаксиса в строке " + std::to_string(line) + ": \n" + text + "\nПозиция " +
         std::to_string(position) + ", cимвол: " + character + "\n";
}

std::string syntaxReport(int line, const std::string& text, int position, char c) {
  return syntaxReport(line, text, position, std::string(1, c));
}

const std::string kIncomplete = "Ошибка - неполная строка\n";

struct StreamCase {
  std::string text;
  Bytes stream;
  std::vector<float> slots;
  std::vector<std::string> references;
  std::string definition;
};

const StreamCase kStreamCases[] = {
    {"a=2*b", {'n', 0, '*', 'e', 0, 0}, {2}, {"b"}, "a"},
    {"Ab1=x2^3", {'e', 0, '^', 'n', 0, 0}, {3}, {"x2"}, "Ab1"},
    {"a=-(b-1.5)", {'-', '(', 'e', 0, '-', 'n', 0, ')'}, {1.5f}, {"b"}, "a"},
    {"a=--2", {'-', '-', 'n', 0, 0}, {2}, {}, "a"},
    {"a=sin((-2))", {'f', 1, '(', '(', '-', 'n', 0, ')', ')'}, {2}, {}, "a"},
    {"?=lg(0.5)^2", {'f', 8, '(', 'n', 0, ')', '^', 'n', 1, 0}, {0.5f, 2}, {}, "?"},
    {"a=(1)*((2))", {'(', 'n', 0, ')', '*', '(', '(', 'n', 1, ')', ')'}, {1, 2}, {}, "a"},
    {"a=1+2-3*4/5",
     {'n', 0, '+', 'n', 1, '-', 'n', 2, '*', 'n', 3, '/', 'n', 4, 0},
     {1, 2, 3, 4, 5},
     {},
     "a"},
    {"a=5.", {'n', 0, 0}, {5}, {}, "a"},
    {"a=007.250", {'n', 0, 0}, {7.25f}, {}, "a"},
    {"sin=2", {'n', 0, 0}, {2}, {}, "sin"},
    {"a=sin+cos1", {'e', 0, '+', 'e', 1, 0}, {}, {"sin", "cos1"}, "a"},
    {"a=(", {'('}, {}, {}, "a"},
    {"a=2)", {'n', 0, ')'}, {2}, {}, "a"},
    {"a = b c", {'e', 0, 0}, {}, {"bc"}, "a"},
    {"a=0.1", {'n', 0, 0}, {0.1f}, {}, "a"},
};

}  // namespace

TEST_F(Tokenizer, StreamsSlotsDefinitionsAndReferences) {
  for (const StreamCase& c : kStreamCases) {
    resetWorkspace();
    ASSERT_TRUE(tokenize(c.text)) << c.text;
    EXPECT_EQ(streamOf(0), c.stream) << c.text;
    ASSERT_EQ(static_cast<std::size_t>((lastNumber + 1) & 0xFF), c.slots.size()) << c.text;
    for (std::size_t i = 0; i < c.slots.size(); ++i)
      EXPECT_EQ(NumberPool[i], c.slots[i]) << c.text;
    ASSERT_EQ(lastReference + 1, static_cast<int>(c.references.size())) << c.text;
    for (std::size_t i = 0; i < c.references.size(); ++i) {
      EXPECT_EQ(ReferenceTable[i].name, c.references[i]) << c.text;
      EXPECT_EQ(ReferenceTable[i].line, 0) << c.text;
    }
    ASSERT_EQ(lastDefinition, 0) << c.text;
    EXPECT_EQ(DefinitionTable[0].name, c.definition) << c.text;
    EXPECT_EQ(DefinitionTable[0].line, 0) << c.text;
  }
  EXPECT_EQ(output.take(), "");
}

TEST_F(Tokenizer, HelpExampleTakes37BytesAndSevenSlots) {
  ASSERT_TRUE(tokenize("?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5"));
  const Bytes expected = {'(', 'f', 8,   '(', 'n', 0,   ')', '/', '(', 'n', 1,   '+', 'n',
                          2,   ')', ')', '*', 'f', 1,   '(', 'n', 3,   ')', '-', 'f', 5,
                          '(', 'n', 4,   ')', '*', 'n', 5,   '^', 'n', 6,   0};
  EXPECT_EQ(streamOf(0), expected);
  EXPECT_EQ(lastToken[0], 36);
  const float slots[] = {23.67f, 23, 45, 0.12f, 10, 0.956f, 5};
  EXPECT_EQ(lastNumber, 6);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(NumberPool[i], slots[i]) << i;
  EXPECT_EQ(lastReference, -1);
}

TEST_F(Tokenizer, LinesAppendInTextOrderWithoutReset) {
  storeLines({"a=1+x", "b=2*y+3"});
  ASSERT_TRUE(tokenizeAll());
  EXPECT_EQ(streamOf(1), (Bytes{'n', 1, '*', 'e', 1, '+', 'n', 2, 0}));
  EXPECT_EQ(lastNumber, 2);
  EXPECT_EQ(ReferenceTable[1].name, "y");
  EXPECT_EQ(ReferenceTable[1].line, 1);
  EXPECT_EQ(DefinitionTable[1].name, "b");
  // Tokenized again without a reset, a line leaves a second definition and takes new slots.
  ASSERT_TRUE(tokenizeLine(0));
  EXPECT_EQ(lastDefinition, 2);
  EXPECT_EQ(DefinitionTable[2].name, "a");
  EXPECT_EQ(streamOf(0), (Bytes{'n', 3, '+', 'e', 2, 0}));
}

TEST_F(Tokenizer, SyntaxErrorReportAndThePartialState) {
  EXPECT_FALSE(tokenize("a=2*-3"));
  EXPECT_EQ(output.take(), "Ошибка синтаксиса в строке 0: \na=2*-3\nПозиция 4, cимвол: -\n");
  EXPECT_EQ(DefinitionTable[0].name, "a");
  EXPECT_EQ(lastDefinition, 0);
  EXPECT_EQ(NumberPool[0], 2);
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, '*'}));

  resetWorkspace();
  storeLines({"a=1", "b=2+$"});
  EXPECT_TRUE(tokenizeLine(0));
  EXPECT_FALSE(tokenizeLine(1));
  EXPECT_EQ(output.take(), syntaxReport(1, "b=2+$", 4, '$'));
  EXPECT_EQ(DefinitionTable[1].name, "b");
  EXPECT_EQ(NumberPool[1], 2);
  EXPECT_EQ(streamOf(1), (Bytes{'n', 1, '+'}));
}

TEST_F(Tokenizer, SyntaxErrorPositions) {
  const struct {
    std::string text;
    int position;
  } cases[] = {
      {"a=sin(-2)", 6},
      {"a=2--3", 4},
      {"a=sin()", 6},
      {"a=()", 3},
      {"a=1.2.3", 5},
      {"a=.5", 2},
      {"a=2e5", 3},
      {"?x=1", 1},
      {"1a=2", 0},
      {"a?=1", 1},
      {"a==1", 2},
      {"=1", 0},
      {"a=b+*c", 4},
      {"a=2,5", 3},
      {"a=x_1", 3},
      {"a=(-)", 4},
      {"a=b)(", 4},
      {"a=sin(1)2", 8},
      // An operand or "(" right after ")" has no operator to join it to what came before.
      {"a=(2)3", 5},
      {"a=(2)(3)", 5},
      {"a=(1)x", 5},
      // Bytes of 128 and above are no letters, also as the first character.
      {"\xD0=1", 0},
      {"a=\xB0", 2},
  };
  for (const auto& c : cases) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(c.text)) << c.text;
    EXPECT_EQ(output.take(), syntaxReport(0, c.text, c.position, c.text[c.position])) << c.text;
  }
}

// A character of several bytes is reported whole, at the position of its first byte; a byte
// that starts no well-formed sequence within the line is reported alone.
TEST_F(Tokenizer, SyntaxErrorShowsAWholeUtf8Character) {
  const struct {
    std::string text;
    int position;
    std::string character;
  } cases[] = {
      {"?=\xD1\x81os(1)", 2, "\xD1\x81"},
      {"\xD0\xB0=1", 0, "\xD0\xB0"},
      {"a=\xD0\xB0", 2, "\xD0\xB0"},
      {"a=1+\xE2\x82\xAC", 4, "\xE2\x82\xAC"},
      {"a=\xF0\x9F\x98\x80+1", 2, "\xF0\x9F\x98\x80"},
      {"a=\xD0+1", 2, "\xD0"},
      {"a=\x81\x81", 2, "\x81"},
      {"a=\xF0\x9F\x98", 2, "\xF0"},
      {"a=\xC0\x80", 2, "\xC0"},
  };
  for (const auto& c : cases) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(c.text)) << c.text;
    EXPECT_EQ(output.take(), syntaxReport(0, c.text, c.position, c.character)) << c.text;
  }
}

// Blanks inside a number join its parts, and one point is allowed in all of them together.
TEST_F(Tokenizer, NumberAcrossBlanksTakesOnePoint) {
  const struct {
    std::string text;
    float value;
  } joined[] = {
      {"a=1 2", 12}, {"a=1 . 5", 1.5f}, {"a=1. 25", 1.25f}, {"a=0 .0 5", 0.05f}, {"a=3 .", 3}};
  for (const auto& c : joined) {
    resetWorkspace();
    ASSERT_TRUE(tokenize(c.text)) << c.text;
    EXPECT_EQ(NumberPool[0], c.value) << c.text;
  }
  EXPECT_EQ(output.take(), "");
  for (const std::string text : {"a=1.2 .3", "a=1 .2.3", "a=1 . 2 .", "a=1. .", "a=1 2. 3 .4"}) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(text)) << text;
    const auto second = static_cast<int>(text.rfind('.'));
    EXPECT_EQ(output.take(), syntaxReport(0, text, second, '.')) << text;
  }
}

TEST_F(Tokenizer, NulByteInsideTheTextIsNoEndOfText) {
  for (const std::string& text : {std::string("?=(1\0)", 6), std::string("a=b\0", 4),
                                  std::string("a\0=1", 4), std::string("?=(\0)", 5)}) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(text));
    const int position = static_cast<int>(text.find('\0'));
    EXPECT_EQ(output.take(), syntaxReport(0, text, position, '\0'));
  }
}

TEST_F(Tokenizer, IncompleteLines) {
  for (const std::string text :
       {"a=", "a", "?", "", "?=", "Help", "Q", "list2", "a=2+", "a=-", "a=(1)*", "a=--", "a=2^"}) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(text)) << text;
    EXPECT_EQ(output.take(), kIncomplete) << text;
  }
  // The "=" was read, so the definition stays.
  resetWorkspace();
  tokenize("a=");
  EXPECT_EQ(lastDefinition, 0);
  EXPECT_EQ(DefinitionTable[0].name, "a");
}

TEST_F(Tokenizer, UnknownFunctions) {
  for (const std::string name : {"nul", "SIN", "log", "sinus", "si", "sqr", "lgg", "tgtg"}) {
    resetWorkspace();
    EXPECT_FALSE(tokenize("a=" + name + "(1)")) << name;
    EXPECT_EQ(output.take(), "Неизвестная функция - " + name + "\n");
  }
}

TEST_F(Tokenizer, FindFunctionKnowsEightNames) {
  const char* names[] = {"sin", "cos", "tg", "ctg", "sqrt", "exp", "ln", "lg"};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(findFunction(names[i]), i + 1);
  EXPECT_EQ(output.take(), "");
  EXPECT_EQ(findFunction("nul"), 0);
  EXPECT_EQ(findFunction(""), 0);
  EXPECT_EQ(output.take(), "Неизвестная функция - nul\nНеизвестная функция - \n");
}

TEST_F(Tokenizer, TokenizeAllStopsAtTheFirstFailure) {
  storeLines({"a=1", "b=", "c=3"});
  lastToken[2] = 1;
  TokenBuffer[2][0] = 'x';
  EXPECT_FALSE(tokenizeAll());
  EXPECT_EQ(output.take(), kIncomplete);
  EXPECT_EQ(lastToken[2], 1);
  EXPECT_EQ(TokenBuffer[2][0], 'x');
  EXPECT_EQ(lastDefinition, 1);
}

// Each limit: the last item that fits is taken, the next one refuses the line.
TEST_F(Tokenizer, StreamHolds50Bytes) {
  const std::string fits = "a=" + std::string(47, '-') + "1";
  EXPECT_TRUE(tokenize(fits));
  EXPECT_EQ(lastToken[0], 49);
  // The 51st byte refuses the line wherever it falls: the end byte, a prefix "(" or "-", an
  // operator or ")" after ")", a number's token, a function's "(".
  const std::string overs[] = {"a=" + std::string(48, '-') + "1",
                               "a=" + std::string(51, '('),
                               "a=" + std::string(50, '-') + "1",
                               "a=(" + std::string(24, '-') + "1)" + std::string(22, ')') + "+",
                               "a=" + std::string(47, '(') + "1+2",
                               "a=" + std::string(48, '(') + "sin(1)"};
  for (const std::string& over : overs) {
    resetWorkspace();
    EXPECT_FALSE(tokenize(over)) << over;
    EXPECT_EQ(output.take(), "Слишком длинное выражение (50 байт) в строке 0: \n" + over + "\n");
    EXPECT_EQ(lastToken[0], 49) << over;
  }
}

TEST_F(Tokenizer, PoolHolds40Numbers) {
  const std::string sixteen = "1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1";
  storeLines({"a=" + sixteen, "b=" + sixteen, "c=1+1+1+1+1+1+1+1", "d=1"});
  EXPECT_FALSE(tokenizeAll());
  EXPECT_EQ(output.take(), "Слишком много чисел (40) в строке 3: \nd=1\n");
  EXPECT_EQ(lastNumber, 39);
  EXPECT_EQ(streamOf(3), (Bytes{'n'}));
  // Without the fourth line the 40 slots suffice.
  resetWorkspace();
  lineCount = 3;
  EXPECT_TRUE(tokenizeAll());
  EXPECT_EQ(lastNumber, 39);
}

TEST_F(Tokenizer, Holds30Definitions) {
  storeLines({"a=1"});
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(tokenizeLine(0)) << i;
  EXPECT_EQ(lastDefinition, 29);
  EXPECT_FALSE(tokenizeLine(0));
  EXPECT_EQ(output.take(), "Слишком много выражений (30) в строке 0: \na=1\n");
  EXPECT_EQ(lastDefinition, 29);
}

TEST_F(Tokenizer, Holds30References) {
  const std::string sixteen = "b+b+b+b+b+b+b+b+b+b+b+b+b+b+b+b";
  storeLines({"a=" + sixteen, "c=b+b+b+b+b+b+b+b+b+b+b+b+b+b", "d=b"});
  EXPECT_FALSE(tokenizeAll());
  EXPECT_EQ(output.take(), "Слишком много ссылок на имена (30) в строке 2: \nd=b\n");
  EXPECT_EQ(lastReference, 29);
  EXPECT_EQ(ReferenceTable[29].line, 1);
}
