#include <gtest/gtest.h>

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

// What the birth rules let through is stored exactly; anything else never overruns the field.
TEST(Text1252, LossyBytesAreExactForAcceptedTextsAndBounded)
{
    for (const auto& [text, bytes] : {std::pair<std::string, std::string>("Z\u00fcrich \u20ac", "Z\xfcrich \x80"),
                                      {std::string(60, 'a'), std::string(49, 'a')},
                                      {"\u0394elta", "?elta"},
                                      {std::string("a\0b\xff", 4), "a?b?"}})
        EXPECT_EQ(windows1252Lossy(text, 49), bytes) << text;
}
