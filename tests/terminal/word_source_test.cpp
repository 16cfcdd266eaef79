// Tests of the word source: typed lines split into words as standard input's reading splits them.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/word_source.hpp"

namespace {

std::vector<std::string> takenWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t position = 0;
  std::string word;
  while (takeWord(line, position, word))
    words.push_back(word);
  EXPECT_EQ(position, line.size());
  return words;
}

// The oracle: formatted extraction of strings, as the calculator reads a pipe.
std::vector<std::string> extractedWords(const std::string& line) {
  std::istringstream input(line);
  std::vector<std::string> words;
  std::string word;
  while (input >> word)
    words.push_back(word);
  return words;
}

}  // namespace

TEST(WordSplitting, SameWordsAsFormattedExtraction) {
  const std::string lines[] = {
      "",
      "a=1",
      "a=1 b=2",
      "  a=1   ?=a  ",
      "a=1\tb=2\nc=3\vd=4\fe=5\rf=6",
      " \t\n\v\f\r ",
      std::string("a=1\0b=2", 7),      // NUL is no white space
      "\x1b[A",                        // nor are control characters
      "x=\xA0\x85y \xD0\x93\xD0\xBE",  // nor bytes above 0x7F (no-break space, NEL)
      "q quit h",
  };
  for (const std::string& line : lines)
    EXPECT_EQ(takenWords(line), extractedWords(line)) << "line of " << line.size() << " bytes";
}

TEST(WordSplitting, EveryByteOnEitherSideOfAWord) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string line = std::string(1, static_cast<char>(byte)) + "a=1" +
                             std::string(1, static_cast<char>(byte)) + "b";
    EXPECT_EQ(takenWords(line), extractedWords(line)) << "byte " << byte;
  }
}

TEST(WordSource, WithoutTheEditorWordsComeFromStandardInput) {
  std::istringstream input(" a=1\tq \n");
  std::streambuf* const saved = std::cin.rdbuf(input.rdbuf());
  std::string word;
  EXPECT_EQ(readWord(word), WordRead::word);
  EXPECT_EQ(word, "a=1");
  EXPECT_EQ(readWord(word), WordRead::word);
  EXPECT_EQ(word, "q");
  EXPECT_FALSE(std::cin.eof());
  EXPECT_EQ(readWord(word), WordRead::end);
  EXPECT_TRUE(std::cin.eof() && std::cin.fail());
  stopReadingWords();
  std::cin.clear();
  std::cin.rdbuf(saved);
}

// A line handed over as a view into longer text ends at the view's end, whatever follows it.
TEST(WordSplitting, ALineEndsWhereItsViewEnds) {
  const std::string text = "ab  cd e";
  for (std::size_t length = 0; length <= text.size(); ++length) {
    EXPECT_EQ(takenWords(std::string_view(text).substr(0, length)),
              extractedWords(text.substr(0, length)))
        << length;
  }
}

// A word past the limit keeps one byte more than the limit, enough to be refused, however its
// bytes arrive: in one line, or in pieces of a typed line that may start inside a word.
TEST(WordSplitting, AWordIsCutOneBytePastTheLimit) {
  const std::string kept(kMaxWordBytes + 1, 'a');
  std::size_t position = 0;
  std::string word;
  const std::string line = std::string(kMaxWordBytes + 9, 'a') + " b";
  ASSERT_TRUE(takeWord(line, position, word));
  EXPECT_EQ(word, kept);
  ASSERT_TRUE(takeWord(line, position, word));
  EXPECT_EQ(word, "b");
  std::string typed = "x " + std::string(kMaxWordBytes - 96, 'a');
  appendTypedText(typed, std::string(200, 'a') + " b");
  appendTypedText(typed, " " + std::string(kMaxWordBytes + 2, 'a'));
  EXPECT_EQ(typed, "x " + kept + " b " + kept);
  std::string whole(kMaxWordBytes, 'a');
  appendTypedText(whole, "aa");
  EXPECT_EQ(whole, kept);
}
