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
    ColorF c(0x80FF0040u);
    EXPECT_EQ(c.ToARGB(), 0x80FF0040u);
    EXPECT_EQ(ColorF(2.0f, -1.0f, 0.5f, 1.0f).ToARGB(), 0xFFFF0080u);
    EXPECT_EQ(ColorF::FromARGB(0x80FF0040u), c);
}

TEST(ColorF, EachByteIsScaledByTheSinglePrecisionReciprocal)
{
    const ColorF red(0x80FF0000u);
    EXPECT_EQ(red.r, 1.0f);
    EXPECT_EQ(red.g, 0.0f);
    EXPECT_EQ(red.b, 0.0f);
    EXPECT_NEAR(red.a, 0.50196f, 1e-5f);

    // Multiplying by the float 1/255 is not dividing by 255: the last bit differs for 126 bytes.
    int differing = 0;
    for (uint32_t byte = 0; byte < 256; ++byte)
    {
        const ColorF grey(byte * 0x01010101u);
        ASSERT_TRUE(grey.r == grey.a && grey.g == grey.a && grey.b == grey.a) << byte;
        EXPECT_EQ(grey.ToARGB(), byte * 0x01010101u);
        EXPECT_NEAR(grey.a, float(byte) / 255.0f, 1e-6f);
        differing += grey.a != float(byte) / 255.0f;
    }
    EXPECT_EQ(differing, 126);

    EXPECT_EQ(ColorF::Black(), ColorF(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(&ColorF::Black(), &ColorF::Black());
}
