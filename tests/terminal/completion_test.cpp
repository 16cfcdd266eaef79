// Tests of Tab completion: candidates and insertions for a line, a cursor and stored lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/completion.hpp"

namespace {

const std::string kStored[] = {"alpha=2", "b=alpha*3", "?=b+sqrt(alpha)", "beta=1.5"};
constexpr std::string_view kCommands[] = {"help", "list", "run", "clear", "quit"};
const std::string kFunctions[] = {"sin", "cos", "tg", "ctg", "sqrt", "exp", "ln", "lg"};
// Inside an expression with nothing typed: every function, then every stored name but "?".
const std::vector<std::string> kOperands = {"sin(", "cos(", "tg(",   "ctg(", "sqrt(", "exp(",
                                            "ln(",  "lg(",  "alpha", "b",    "beta"};
constexpr std::size_t kEnd = std::string::npos;

struct Case {
  const char* line;
  std::size_t cursor;  // kEnd: the end of the line
  const char* insertion;
  std::vector<std::string> candidates;
  std::size_t stored = 4;  // the first lines of kStored that are stored; the rest are dead text
};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::string line = c.line;
    const std::size_t cursor = c.cursor == kEnd ? line.size() : c.cursor;
    const Completion completion =
        completeWord(line, cursor, {kCommands, kFunctions, std::span(kStored, c.stored)});
    EXPECT_EQ(completion.insertion, c.insertion) << "line \"" << line << "\" at " << cursor;
    EXPECT_EQ(completion.candidates, c.candidates) << "line \"" << line << "\" at " << cursor;
  }
}

}  // namespace

TEST(Completion, AtTheStartOfAWordCommandsAndStoredNamesWithEquals) {
  check({
      {"", kEnd, "", {"help", "list", "run", "clear", "quit", "alpha=", "b=", "?=", "beta="}},
      {"he", kEnd, "lp", {"help"}},
      {"c", kEnd, "lear", {"clear"}},
      {"q", kEnd, "uit", {"quit"}},
      {"al", kEnd, "pha=", {"alpha="}},
      {"?", kEnd, "=", {"?="}},
      {"b", kEnd, "", {"b=", "beta="}},
      {"be", kEnd, "ta=", {"beta="}},
      {"a=1 l", kEnd, "ist", {"list"}},  // the word after a blank
      {"a=1\tr", kEnd, "un", {"run"}},   // after a tab
      {"x", kEnd, "", {}},               // nothing fits
      {"help", kEnd, "", {"help"}},      // already whole
      {"hex", 2, "lp", {"help"}},        // only the text before the cursor counts
      {"Q", kEnd, "", {}},               // case counts
  });
}

TEST(Completion, InsideAnExpressionFunctionsWithBracketAndNamesOtherThanTheTask) {
  check({
      {"?=sq", kEnd, "rt(", {"sqrt("}},
      {"?=2*s", kEnd, "", {"sin(", "sqrt("}},
      {"?=c", kEnd, "", {"cos(", "ctg("}},
      {"?=co", kEnd, "s(", {"cos("}},
      {"?=(al", kEnd, "pha", {"alpha"}},
      {"x=alpha+b", kEnd, "", {"b", "beta"}},
      {"x=1-be", kEnd, "ta", {"beta"}},
      {"x=2^l", kEnd, "", {"ln(", "lg("}},
      {"x=3/e", kEnd, "xp(", {"exp("}},
      {"x=t", kEnd, "g(", {"tg("}},
      {"x=sin(b", kEnd, "", {"b", "beta"}},
      {"x=", kEnd, "", kOperands},
      {"x=2a", kEnd, "", {}},    // a name cannot follow a digit
      {"x=(b)s", kEnd, "", {}},  // nor a closing bracket
      {"x=1.5", kEnd, "", {}},   // a number is no name
      {"x=?", kEnd, "", {}},     // the task is never an operand
      {"a=1 x=al", kEnd, "pha", {"alpha"}},
      {"x=alz+1", 5, "", {}},  // the text before the cursor is "alz"
  });
}

TEST(Completion, NameAndEqualsBringBackTheStoredExpression) {
  check({
      {"b=", kEnd, "alpha*3", {"alpha*3"}},
      {"?=", kEnd, "b+sqrt(alpha)", {"b+sqrt(alpha)"}},
      {"beta=", kEnd, "1.5", {"1.5"}},
      {"a=1 alpha=", kEnd, "2", {"2"}},
      {"alpha= b=2", 6, "2", {"2"}},         // the word ends at the cursor
      {"b=+1", 2, "", kOperands},            // something after the cursor: an operand instead
      {"gamma=sq", kEnd, "rt(", {"sqrt("}},  // a name that is not stored: an operand as well
  });
}

TEST(Completion, OnlyTheCountedLinesAreStored) {
  check({
      {"be", kEnd, "", {}, 3},
      {"b=", kEnd, "alpha*3", {"alpha*3"}, 3},
      {"?=b", kEnd, "", {"b"}, 2},
      {"", kEnd, "", {"help", "list", "run", "clear", "quit"}, 0},
  });
}

// Where the first Tab was, a second one lists (the editing sessions show every place), but not
// after an insertion that left one candidate: that Tab was no first one.
TEST(Tab, AnInsertionThatLeavesOneCandidateIsNoFirstTab) {
  const Completion ambiguous{"", {"counter1", "counter10"}};
  forgetTabPlace();
  tabInserted({"1", {"counter1"}}, tabPlace("?=counter1", 10));
  EXPECT_EQ(tabStep(ambiguous, tabPlace("?=counter1", 10)), TabStep::ring);
  EXPECT_EQ(tabStep(ambiguous, tabPlace("?=counter1", 10)), TabStep::list);
  forgetTabPlace();
}
