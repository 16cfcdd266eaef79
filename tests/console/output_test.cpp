// Tests of the message encoding, its conversion for the console and the line end.
#include <gtest/gtest.h>
#include <iconv.h>

#include <sstream>
#include <string>

#include "console/output.hpp"

namespace {

// glibc's own CP1251 decoder, as the oracle; empty when it refuses the byte.
std::string iconvUtf8(char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  char out[8];
  char* in = &byte;
  char* end = out;
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  const bool refused = iconv(converter, &in, &inLeft, &end, &outLeft) == static_cast<size_t>(-1);
  iconv_close(converter);
  return refused ? "" : std::string(out, end);
}

std::string converted(const char* message) {
  char buffer[kConvertedMessageSize];
  convertMessage(message, buffer);
  return buffer;
}

}  // namespace

TEST(Conversion, EveryByteMatchesIconv) {
  for (int byte = 1; byte <= 0xFF; ++byte) {
    const char message[2] = {static_cast<char>(byte), '\0'};
    const std::string expected = iconvUtf8(static_cast<char>(byte));
    // The one byte without a character becomes U+FFFD instead of being dropped.
    EXPECT_EQ(converted(message), expected.empty() ? "\xEF\xBF\xBD" : expected) << "byte " << byte;
  }
  EXPECT_EQ(converted(""), "");
}

TEST(Conversion, TheLongestPossibleMessageFits) {
  // 59 characters that take the most room in UTF-8: the euro sign, three bytes each.
  constexpr Message message = windows1251(
      "€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€"
      "€€€€€€€€€€€€€€€€€€€€€€€€€€€€€");
  const std::string result = converted(message.text);
  EXPECT_EQ(result.size(), 59u * 3);
  EXPECT_LT(result.size(), kConvertedMessageSize);  // with room for the terminator
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
