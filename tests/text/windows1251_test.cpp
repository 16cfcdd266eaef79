// Tests of the Windows-1251 table read backwards: what a Windows console's typed text becomes.
#include "text/windows1251.hpp"

#include <gtest/gtest.h>

TEST(Windows1251, EveryByteComesBackFromItsCharacter) {
  for (int byte = 0; byte < 256; ++byte) {
    const auto code = static_cast<unsigned char>(byte);
    EXPECT_EQ(windows1251Of(unicodeOfWindows1251(code)), code) << "byte " << byte;
  }
}

TEST(Windows1251, CharactersBeyondTheCodePageBecomeThePlaceholder) {
  // A Latin-1 letter, Chinese, an emoji past the basic plane, and Cyrillic letters outside А..я
  // that the code page has in its upper half.
  EXPECT_EQ(windows1251Of(U'Ð'), kWindows1251Placeholder);
  EXPECT_EQ(windows1251Of(U'\u0080'), kWindows1251Placeholder);  // 0x80 is Ђ
  EXPECT_EQ(windows1251Of(U'中'), kWindows1251Placeholder);
  EXPECT_EQ(windows1251Of(U'\U0001F600'), kWindows1251Placeholder);
  EXPECT_EQ(windows1251Of(U'ґ'), 0xB4);
  EXPECT_EQ(windows1251Of(U'ў'), 0xA2);
  EXPECT_EQ(windows1251Of(U'ё'), 0xB8);
  EXPECT_EQ(unicodeOfWindows1251(kWindows1251Placeholder), U'\uFFFD');
}
