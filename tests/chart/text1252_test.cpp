#include <gtest/gtest.h>

#include <cstring>

#include "text1252.h"

using namespace zodiara;

TEST(Text1252, ConvertsBothWays)
{
    const std::string utf8 = "Jos\u00e9 M\u00fcller \u20ac \u201cq\u201d \u0152";
    const auto bytes = windows1252FromUtf8(utf8);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::string("Jos\xe9 M\xfcller \x80 \x93q\x94 \x8c"));
    EXPECT_EQ(utf8FromWindows1252(*bytes), utf8);
    // Bytes the code page leaves undefined still come out as valid text.
    EXPECT_EQ(utf8FromWindows1252("\x81"), "\ufffd");
}

TEST(Text1252, RefusesWhatCannotBeStored)
{
    EXPECT_FALSE(windows1252FromUtf8("\u65e5\u672c"));
    EXPECT_FALSE(windows1252FromUtf8("\xc3"));            // truncated sequence
    EXPECT_FALSE(windows1252FromUtf8("\xc0\xaf"));        // overlong
    EXPECT_FALSE(windows1252FromUtf8("\xed\xa0\x80"));    // surrogate
    EXPECT_FALSE(isValidUtf8("abc\xff"));
    EXPECT_TRUE(isValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(Text1252, FieldsHoldFortyNineCharactersAndKeepRemnants)
{
    char field[50];
    std::memset(field, 'z', sizeof field);
    field[49] = '\0';
    EXPECT_EQ(setChartText(field, "Ann"), SetTextResult::Ok);
    EXPECT_EQ(chartText(field), "Ann");
    EXPECT_EQ(field[4], 'z');  // the rest of the field is left as it was
    EXPECT_EQ(setChartText(field, std::string(49, 'a')), SetTextResult::Ok);
    EXPECT_EQ(setChartText(field, std::string(50, 'b')), SetTextResult::TooLong);
    EXPECT_EQ(chartText(field), std::string(49, 'a'));
    EXPECT_EQ(setChartText(field, std::string(49, 'a') + "\u00e9"), SetTextResult::TooLong);
    EXPECT_EQ(setChartText(field, "\u0394elta"), SetTextResult::NotRepresentable);
    EXPECT_EQ(setChartText(field, std::string("a\0b", 3)), SetTextResult::NotRepresentable);
    EXPECT_EQ(chartText(field), std::string(49, 'a'));
}
