#include "Base/Geometry.h"
#include "Base/Text.h"

#include <gtest/gtest.h>

using namespace Kestrin;

TEST(Utf8, RoundTripsEveryPlaneAndReplacesMalformedInput)
{
    std::wstring text = L"A\u00e9\u20ac\U0001F600";
    std::string utf8 = ToUtf8(text);
    EXPECT_EQ(utf8, "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(FromUtf8(utf8), text);
    // Malformed input becomes replacement characters.
    EXPECT_EQ(FromUtf8("a\xc3"), L"a\uFFFD");                   // truncated sequence
    EXPECT_EQ(FromUtf8("\xe2\x28\xa1"), L"\uFFFD(\uFFFD");      // bad continuation
    EXPECT_EQ(FromUtf8("\xc0\xaf"), L"\uFFFD\uFFFD");           // overlong
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), L"\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0xD800))), "\xef\xbf\xbd");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0x110000))), "\xef\xbf\xbd");
}

TEST(ColorF, PacksAndUnpacksArgb)
{
    ColorF c = ColorF::FromARGB(0x80FF0040);
    EXPECT_FLOAT_EQ(c.a, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 64.0f / 255.0f);
    EXPECT_EQ(c.ToARGB(), 0x80FF0040u);
    EXPECT_EQ(ColorF(2.0f, -1.0f, 0.5f, 1.0f).ToARGB(), 0xFFFF0080u);
}
