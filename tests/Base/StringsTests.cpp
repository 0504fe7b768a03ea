#include "Base/FileSpec.h"
#include "Base/Strings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

using namespace Kestrin;

TEST(ParseColorF, ReadsNineCharacterHexTextAndFallsBackOnOtherLengths)
{
    const ColorF expected(1.0f, 0.0f, 0.0f, 128.0f / 255.0f);
    EXPECT_EQ(ParseColorF(L"XFF000080"), expected); // the first character is not looked at
    EXPECT_EQ(ParseColorF(L"#ff000080"), expected);

    const ColorF fallback(0.25f, 0.5f, 0.75f, 1.0f);
    EXPECT_EQ(ParseColorF(L"#FF0000800", fallback), fallback);
    EXPECT_EQ(ParseColorF(L"", fallback), fallback);
    EXPECT_EQ(ParseColorF(L"short"), ColorF(0.0f, 0.0f, 0.0f, 1.0f)); // opaque black by default

    // A non-hex character counts 0, each on its own.
    EXPECT_EQ(ParseColorF(L"#GG1G00FF").ToARGB(), 0xFF001000u);
}

TEST(ByteStrings, NarrowKeepsLowBitsWidenIsLatin1AndRemoveTakesTheWholeSet)
{
    EXPECT_EQ(NarrowString(L"A\u0141"), "AA");
    EXPECT_EQ(NarrowString(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(WidenString("\x80\xff"
                          "z"),
              L"\u0080\u00ffz");
    EXPECT_EQ(NarrowString(WidenString("\x01\x7f\x80\xfe")), "\x01\x7f\x80\xfe");
    EXPECT_EQ(RemoveCharacters(L" a\tb\r\nc ", L" \t\r\n"), L"abc");
    EXPECT_EQ(RemoveCharacters(L"aaa", L"a"), L"");
}

TEST(WideToInt, TakesLeadingDecimalDigitsAndSaturates)
{
    EXPECT_EQ(WideToInt(L"12ab"), 12);
    EXPECT_EQ(WideToInt(L" \t-7"), -7);
    EXPECT_EQ(WideToInt(L"+3"), 3);
    EXPECT_EQ(WideToInt(L"0x1F"), 0);
    EXPECT_EQ(WideToInt(L""), 0);
    EXPECT_EQ(WideToInt(L"- 5"), 0);
    EXPECT_EQ(WideToInt(L"2147483648"), INT_MAX);
    EXPECT_EQ(WideToInt(L"-2147483648"), INT_MIN);
    EXPECT_EQ(WideToInt(L"-99999999999999999999"), INT_MIN);
}

TEST(WideToFloat, TakesTheLongestDecimalNumberOnlyAndSaturates)
{
    EXPECT_FLOAT_EQ(WideToFloat(L"  -2.25e2xyz"), -225.0f);
    EXPECT_FLOAT_EQ(WideToFloat(L".5"), 0.5f);
    EXPECT_FLOAT_EQ(WideToFloat(L"5."), 5.0f);
    EXPECT_FLOAT_EQ(WideToFloat(L"1e"), 1.0f); // an exponent without digits is not part of the number
    EXPECT_FLOAT_EQ(WideToFloat(L"2E+"), 2.0f);
    EXPECT_FLOAT_EQ(WideToFloat(L"1.5E-1"), 0.15f);
    EXPECT_EQ(WideToFloat(L"inf"), 0.0f);
    EXPECT_EQ(WideToFloat(L"nan"), 0.0f);
    EXPECT_EQ(WideToFloat(L"0x10"), 0.0f);
    EXPECT_EQ(WideToFloat(L"."), 0.0f);
    EXPECT_EQ(WideToFloat(L"abc"), 0.0f);
    // Out of range values saturate.
    EXPECT_EQ(WideToFloat(L"-1e400"), -FLT_MAX);
    EXPECT_EQ(WideToFloat(L"1e99999999999999"), FLT_MAX);
    EXPECT_EQ(WideToFloat(L"1e39"), FLT_MAX);
    EXPECT_EQ(WideToFloat(L"1e-400"), 0.0f);
    EXPECT_EQ(WideToFloat(L"0.000e999"), 0.0f);
    EXPECT_EQ(WideToFloat(L"123456789012345678901234567890123456789012345678901234567890"), FLT_MAX);
}

TEST(FileSpec, BuildsCopiesAndKeepsItsOwnTexts)
{
    FileSpec intro = FileSpec::FromNameAndExtension(L"Intro", L".xml");
    EXPECT_EQ(intro.location, 1);
    EXPECT_FALSE(intro.folder.has_value());
    EXPECT_EQ(intro.FolderOrDot(), L".");

    FileSpec source(2, L"123", L".act", L".");
    FileSpec copy;
    copy.CopyFrom(source);
    source.name = L"changed";
    source.folder = L"elsewhere";
    EXPECT_EQ(copy, FileSpec(2, L"123", L".act", L"."));
}
