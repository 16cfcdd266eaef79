// Tests of the message conversion and the output primitives.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "platform/platform.hpp"
#include "support/capture.hpp"

namespace {

// glibc's own CP1251 decoder, as the oracle; empty when it refuses the byte.
std::string iconvUtf8(unsigned char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  const size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return {};
  return std::string(out, outPtr);
}

std::string converted(const char* message) {
  char buffer[kConvertedMessageSize];
  convertMessage(message, buffer);
  return buffer;
}

}  // namespace

TEST(Conversion, EveryUpperByteMatchesIconv) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char message[2] = {static_cast<char>(byte), '\0'};
    const std::string expected = iconvUtf8(static_cast<unsigned char>(byte));
    // The one byte without a character becomes U+FFFD instead of being dropped.
    EXPECT_EQ(converted(message), expected.empty() ? "\xEF\xBF\xBD" : expected) << "byte " << byte;
  }
}

TEST(Conversion, AsciiPassesUnchangedAndLettersConvert) {
  EXPECT_EQ(converted("(l)ist 0123 +-*/^ ?=()"), "(l)ist 0123 +-*/^ ?=()");
  EXPECT_EQ(converted(kCharacter.text), ", cимвол: ");
  EXPECT_EQ(converted(kResultsHeader.text), "Результаты расчёта: ");
  EXPECT_EQ(converted(""), "");
}

TEST(Conversion, TheLongestPossibleMessageFits) {
  // 59 characters that take the most room in UTF-8: the euro sign, three bytes each.
  const std::string message(59, '\x88');
  const std::string result = converted(message.c_str());
  EXPECT_EQ(result.size(), 59u * 3);
  EXPECT_EQ(result.substr(174), "€");
}

TEST(Messages, HeldAsWindows1251) {
  EXPECT_STREQ(kPrompt.text, "\xC3\xEE\xF2\xEE\xE2: ");
  EXPECT_EQ(std::string(kResultsHeader.text).find('\xB8'), 15u);  // the "ё"
  EXPECT_EQ(std::string(kHelpExample.text).size(), 58u);
}

TEST(Output, MessagesShareALineAndEndLineEndsIt) {
  CapturedOutput output;
  printMessage(kHelpTask.text);
  printMessage(kHelpTaskName.text);
  std::cout << endLine;
  printMessage(kNoTask.text);
  std::cout << endLine;
  std::cout << endLine;
  EXPECT_EQ(output.take(),
            "Чтобы начать вычисление сразу, используйте знак '?'в качесте имени выражения\n"
            "Не определено задание\n\n");
}

// A line end is a line feed and a flush, so that a reader of a pipe sees the line at once.
TEST(Output, EndLineFlushes) {
  class CountedSyncs : public std::stringbuf {
   public:
    int syncs = 0;

   protected:
    int sync() override {
      ++syncs;
      return 0;
    }
  } buffer;
  std::ostream out(&buffer);
  out << "a" << endLine;
  EXPECT_EQ(buffer.str(), "a\n");
  EXPECT_EQ(buffer.syncs, 1);
}

// Every Russian letter of a message becomes its Windows-1251 byte: А..Я 0xC0..0xDF, а..я
// 0xE0..0xFF, Ё 0xA8 and ё 0xB8.
TEST(Messages, EveryRussianLetterHasItsWindows1251Byte) {
  constexpr Message capitals = windows1251("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁ");
  constexpr Message smalls = windows1251("абвгдежзийклмнопрстуфхцчшщъыьэюяё");
  std::string expectedCapitals;
  std::string expectedSmalls;
  for (int i = 0; i < 32; ++i) {
    expectedCapitals += static_cast<char>(0xC0 + i);
    expectedSmalls += static_cast<char>(0xE0 + i);
  }
  expectedCapitals += '\xA8';
  expectedSmalls += '\xB8';
  EXPECT_EQ(std::string(capitals.text), expectedCapitals);
  EXPECT_EQ(std::string(smalls.text), expectedSmalls);
  EXPECT_EQ(converted(capitals.text), "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁ");
  EXPECT_EQ(converted(smalls.text), "абвгдежзийклмнопрстуфхцчшщъыьэюяё");
}
