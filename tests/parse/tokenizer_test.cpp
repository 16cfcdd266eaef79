// Tests of the line tokenizer: token streams byte for byte and the table entries they leave.
#include "parse/tokenizer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/capture.hpp"
#include "workspace/workspace.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Floats = std::vector<float>;
using Strings = std::vector<std::string>;

class Tokenizer : public WorkspaceTest {
 protected:
  // Tokenizes the text as line 0 of a fresh workspace.
  bool tokenize(const std::string& text) {
    resetWorkspace();
    storeLines({text});
    return tokenizeLine(0);
  }
};

// The pool slots in use.
Floats takenSlots() {
  return {NumberPool, NumberPool + static_cast<std::uint8_t>(lastNumber + 1)};
}

// The entries in use of the definition or reference table, each as "name@line".
template <typename Entry>
Strings entries(const Entry* table, int last) {
  Strings names;
  for (int i = 0; i <= last; ++i)
    names.push_back(table[i].name + "@" + std::to_string(table[i].line));
  return names;
}

}  // namespace

TEST_F(Tokenizer, StreamsSlotsDefinitionsAndReferences) {
  const struct {
    std::string text;
    Bytes stream;
    Floats slots;
    Strings references;
  } cases[] = {
      {"a=2*b", {'n', 0, '*', 'e', 0, 0}, {2}, {"b@0"}},
      {"Ab1=x2^3", {'e', 0, '^', 'n', 0, 0}, {3}, {"x2@0"}},
      {"a=-(b-1.5)", {'-', '(', 'e', 0, '-', 'n', 0, ')'}, {1.5f}, {"b@0"}},
      {"a=--2", {'-', '-', 'n', 0, 0}, {2}, {}},
      {"a=sin((-2))", {'f', 1, '(', '(', '-', 'n', 0, ')', ')'}, {2}, {}},
      // Every operator, brackets plain, nested and a function's, functions 1, 5 and 8.
      {"?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5",
       {'(', 'f', 8, '(', 'n', 0,   ')', '/', '(', 'n', 1,   '+', 'n', 2, ')', ')', '*', 'f', 1,
        '(', 'n', 3, ')', '-', 'f', 5,   '(', 'n', 4,   ')', '*', 'n', 5, '^', 'n', 6,   0},
       {23.67f, 23, 45, 0.12f, 10, 0.956f, 5},
       {}},
      {"a=5.", {'n', 0, 0}, {5}, {}},
      {"a=007.250", {'n', 0, 0}, {7.25f}, {}},
      {"a=0.1", {'n', 0, 0}, {0.1f}, {}},
      {"sin=2", {'n', 0, 0}, {2}, {}},
      {"a=sin+cos1", {'e', 0, '+', 'e', 1, 0}, {}, {"sin@0", "cos1@0"}},
      {"a=(", {'('}, {}, {}},
      {"a=2)", {'n', 0, ')'}, {2}, {}},
      {"a = b c", {'e', 0, 0}, {}, {"bc@0"}},  // blanks, which the command loop never passes
      {"? =2", {'n', 0, 0}, {2}, {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(tokenize(c.text)) << c.text;
    EXPECT_EQ(streamOf(0), c.stream) << c.text;
    EXPECT_EQ(takenSlots(), c.slots) << c.text;
    EXPECT_EQ(entries(ReferenceTable, lastReference), c.references) << c.text;
    const std::string name = c.text.substr(0, c.text.find_first_of(" ="));
    EXPECT_EQ(entries(DefinitionTable, lastDefinition), Strings{name + "@0"}) << c.text;
  }
  EXPECT_EQ(output.take(), "");
}

// A refused line keeps what was read before its fault, and tokenizeAll reads no line after it.
TEST_F(Tokenizer, ARefusedLineKeepsWhatWasReadBeforeTheFault) {
  storeLines({"a=2*-3", "c=3"});
  EXPECT_FALSE(tokenizeAll());
  EXPECT_EQ(streamOf(0), (Bytes{'n', 0, '*'}));
  EXPECT_EQ(takenSlots(), Floats{2});
  EXPECT_EQ(entries(DefinitionTable, lastDefinition), Strings{"a@0"});
  EXPECT_FALSE(tokenize("a="));
  EXPECT_EQ(entries(DefinitionTable, lastDefinition), Strings{"a@0"});
}

// Blanks reach the tokenizer only from its own callers: the command loop splits words at them.
// Inside a number they join its parts, which take one point together.
TEST_F(Tokenizer, BlanksAreSkippedAndTheirNumberTakesOnePoint) {
  const struct {
    std::string text;
    float value;
  } joined[] = {
      {"a=1 2", 12}, {"a=1 . 5", 1.5f}, {"a=1. 25", 1.25f}, {"a=0 .0 5", 0.05f}, {"a=3 .", 3}};
  for (const auto& c : joined) {
    ASSERT_TRUE(tokenize(c.text)) << c.text;
    EXPECT_EQ(takenSlots(), Floats{c.value}) << c.text;
  }
  EXPECT_EQ(output.take(), "");
  for (const std::string text : {"a=1.2 .3", "a=1 .2.3", "a=1 . 2 .", "a=1. .", "a=1 2. 3 .4"}) {
    EXPECT_FALSE(tokenize(text)) << text;
    EXPECT_EQ(output.take(), "Ошибка синтаксиса в строке 0: \n" + text + "\nПозиция " +
                                 std::to_string(text.rfind('.')) + ", cимвол: .\n");
  }
  for (const std::string text : {"", "  ", "a =  "}) {
    EXPECT_FALSE(tokenize(text)) << '"' << text << '"';
    EXPECT_EQ(output.take(), "Ошибка - неполная строка\n");
  }
}

// Twenty stored lines define at most twenty names, so only a line tokenized again fills the table.
TEST_F(Tokenizer, Holds30Definitions) {
  storeLines({"a=1"});
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(tokenizeLine(0)) << i;
  EXPECT_FALSE(tokenizeLine(0));
  EXPECT_EQ(output.take(), "Слишком много выражений (30) в строке 0: \na=1\n");
  EXPECT_EQ(lastDefinition, 29);
}
