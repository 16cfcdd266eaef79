// Tests of the UTF-8 sequence rule: which bytes make one character.
#include "text/utf8.hpp"

#include <gtest/gtest.h>

#include <string>

TEST(Utf8SequenceLength, WellFormedSequencesAtEveryLength) {
  EXPECT_EQ(utf8SequenceLength("\xD1\x81os(1)"), 2u);      // Cyrillic es
  EXPECT_EQ(utf8SequenceLength("\xC2\x80"), 2u);           // the smallest of two bytes
  EXPECT_EQ(utf8SequenceLength("\xDF\xBF"), 2u);           // the largest of two bytes
  EXPECT_EQ(utf8SequenceLength("\xE2\x82\xAC+1"), 3u);     // euro sign
  EXPECT_EQ(utf8SequenceLength("\xE0\xA0\x80"), 3u);       // the smallest of three bytes
  EXPECT_EQ(utf8SequenceLength("\xED\x9F\xBF"), 3u);       // just below the surrogates
  EXPECT_EQ(utf8SequenceLength("\xEF\xBF\xBF"), 3u);       // the largest of three bytes
  EXPECT_EQ(utf8SequenceLength("\xF0\x9F\x98\x80)"), 4u);  // an emoji
  EXPECT_EQ(utf8SequenceLength("\xF0\x90\x80\x80"), 4u);   // the smallest of four bytes
  EXPECT_EQ(utf8SequenceLength("\xF4\x8F\xBF\xBF"), 4u);   // U+10FFFF
}

TEST(Utf8SequenceLength, NoSequenceStartsAtTheByte) {
  const std::string texts[] = {
      "",
      "a",
      "ab",
      "\xD0",      // a lead byte at the end of the text
      "\xD0=",     // followed by an ASCII byte
      "\xB0\xB0",  // a continuation byte
      "\xC0\x80",  // overlong forms
      "\xC1\xBF",
      "\xE0\x9F\xBF",
      "\xF0\x8F\xBF\xBF",
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\xF5\x80\x80\x80",  // bytes that begin nothing
      "\xFF\x80",
      "\xE2\x82",   // cut short by the end of the text
      "\xE2\x82=",  // or by an ASCII byte
      "\xF0\x9F\x98",
      "\xF0\x9F\x98\xD0",  // or by another lead byte
      std::string("\xD0\0", 2),
  };
  for (const std::string& text : texts)
    EXPECT_EQ(utf8SequenceLength(text), 0u) << "text of " << text.size() << " bytes";
}

TEST(Utf8SequenceLength, EveryLeadByteAgainstEveryFollowingByte) {
  // Two bytes are one character exactly for a lead byte C2..DF and a continuation byte.
  for (int lead = 0; lead < 256; ++lead) {
    for (int next = 0; next < 256; ++next) {
      const std::string text{static_cast<char>(lead), static_cast<char>(next)};
      const bool character = lead >= 0xC2 && lead <= 0xDF && next >= 0x80 && next <= 0xBF;
      EXPECT_EQ(utf8SequenceLength(text), character ? 2u : 0u) << lead << " " << next;
    }
  }
}
