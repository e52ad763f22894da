#include "platform/services/ascii_text.h"

#include <gtest/gtest.h>

using namespace ostrel::platform;

TEST(AsciiText, LowerTrimAndCompareWithoutCase) {
    // Only ASCII letters change; other bytes, such as UTF-8 sequences, stay.
    EXPECT_EQ(Lower("\\\\NAS\\Volume_1"), "\\\\nas\\volume_1");
    EXPECT_EQ(Lower("Caf\xC3\x89"), "caf\xC3\x89");
    EXPECT_EQ(Lower(""), "");

    EXPECT_EQ(Trim(" \t key = value\r"), "key = value");
    EXPECT_EQ(Trim("inner  blanks stay"), "inner  blanks stay");
    EXPECT_EQ(Trim(" \t\r "), "");
    EXPECT_EQ(Trim("\nline\n"), "\nline\n");  // only spaces, tabs and CRs go

    EXPECT_TRUE(EqualNoCase("Z:", "z:"));
    EXPECT_TRUE(EqualNoCase("", ""));
    EXPECT_FALSE(EqualNoCase("Z:", "Z:\\"));
    EXPECT_FALSE(EqualNoCase("\xC3\x89", "\xC3\xA9"));
}
