// Tests of the UTF-8 sequence rule: which bytes make one character.
#include "text/utf8.hpp"

#include <gtest/gtest.h>

#include <string>

// Two bytes are one character exactly for a lead byte C2..DF and a continuation byte.
TEST(Utf8SequenceLength, EveryLeadByteAgainstEveryFollowingByte) {
  for (int lead = 0; lead < 256; ++lead) {
    for (int next = 0; next < 256; ++next) {
      const std::string text{static_cast<char>(lead), static_cast<char>(next)};
      const bool character = lead >= 0xC2 && lead <= 0xDF && next >= 0x80 && next <= 0xBF;
      EXPECT_EQ(utf8SequenceLength(text), character ? 2u : 0u) << lead << " " << next;
    }
  }
}

TEST(Utf8SequenceLength, LongerSequencesAndShorterTexts) {
  const struct {
    std::string text;
    std::size_t length;
  } cases[] = {
      {"\xD1\x81os(1)", 2},      // Cyrillic es, then more text
      {"\xE2\x82\xAC+1", 3},     // euro sign
      {"\xE0\xA0\x80", 3},       // the smallest of three bytes
      {"\xED\x9F\xBF", 3},       // just below the surrogates
      {"\xEF\xBF\xBF", 3},       // the largest of three bytes
      {"\xF0\x9F\x98\x80)", 4},  // an emoji
      {"\xF0\x90\x80\x80", 4},   // the smallest of four bytes
      {"\xF4\x8F\xBF\xBF", 4},   // U+10FFFF
      {"", 0},                   // no byte
      {"a", 0},                  // one byte
      {"\xD0", 0},               // a lead byte at the end of the text
      {"\xE0\x9F\xBF", 0},       // overlong forms
      {"\xF0\x8F\xBF\xBF", 0},
      {"\xED\xA0\x80", 0},      // a surrogate
      {"\xF4\x90\x80\x80", 0},  // past U+10FFFF
      {"\xF5\x80\x80\x80", 0},  // a byte that begins nothing
      {"\xE2\x82", 0},          // cut short by the end of the text
      {"\xE2\x82=", 0},         // or by an ASCII byte
      {"\xF0\x9F\x98", 0},
      {"\xF0\x9F\x98\xD0", 0},  // or by another lead byte
  };
  for (const auto& c : cases)
    EXPECT_EQ(utf8SequenceLength(c.text), c.length) << "text of " << c.text.size() << " bytes";
}

// A character takes one column whatever its length; a column past the text starts at its end.
TEST(Utf8Columns, CountedAndFoundByCharacter) {
  const std::string text = "a\xD0\x93\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a, Г, €, an emoji, z
  EXPECT_EQ(utf8Columns(text), 5u);
  const Utf8Bytes emoji = utf8BytesOf(U'\U0001F600');
  EXPECT_EQ(std::string(emoji.bytes, emoji.length), text.substr(6, 4));
  const std::size_t starts[] = {0, 1, 3, 6, 10, 11, 11};
  for (std::size_t column = 0; column < 7; ++column)
    EXPECT_EQ(utf8ByteOfColumn(text, column), starts[column]) << column;
}
