#include <gtest/gtest.h>

#include <cstring>

#include "chart/text1252.h"

using namespace zodiara;

TEST(Text1252, ConvertsBothWays)
{
    const std::string utf8 = "Jos\u00e9 M\u00fcller \u20ac \u201cq\u201d \u0152";
    const std::string bytes = "Jos\xe9 M\xfcller \x80 \x93q\x94 \x8c";
    EXPECT_EQ(windows1252FromUtf8(utf8), bytes);
    EXPECT_EQ(utf8FromWindows1252(bytes), utf8);
    // Bytes the code page leaves undefined still come out as valid text.
    EXPECT_EQ(utf8FromWindows1252("\x81"), "\ufffd");
}

TEST(Text1252, RefusesWhatCannotBeStored)
{
    // Not in the code page; truncated; overlong; a surrogate.
    for (const char* text : {"\u65e5\u672c", "\xc3", "\xc0\xaf", "\xed\xa0\x80"})
        EXPECT_FALSE(windows1252FromUtf8(text)) << text;
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
    const std::string full(49, 'a');
    EXPECT_EQ(setChartText(field, full), SetTextResult::Ok);
    // A refused text leaves the field as it was.
    for (const auto& [text, result] : {std::pair(full + "\u00e9", SetTextResult::TooLong),
                                       {std::string(50, 'b'), SetTextResult::TooLong},
                                       {"\u0394elta", SetTextResult::NotRepresentable},
                                       {std::string("a\0b", 3), SetTextResult::NotRepresentable}})
        EXPECT_EQ(setChartText(field, text), result) << text;
    EXPECT_EQ(chartText(field), full);
}
