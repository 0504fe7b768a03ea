#include "Base/StringFormatter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

using Kestrin::StringFormatter;
using Kestrin::TimeStamp;
using Argument = StringFormatter::Argument;

namespace
{
std::wstring Format(const std::wstring& pattern, const std::vector<Argument>& args = {})
{
    StringFormatter f(pattern);
    for (const Argument& a : args)
        f.AddArgument(a);
    f.Render();
    return f.result;
}
} // namespace

TEST(StringFormatter, WholeNumbersDecimalAndGrouped)
{
    EXPECT_EQ(Format(L"%1:d%", {1234567}), L"1234567");
    EXPECT_EQ(Format(L"%1%", {1234567}), L"1,234,567");
    EXPECT_EQ(Format(L"%1:t%", {1234567}), L"1,234,567");
    EXPECT_EQ(Format(L"%1%", {-1234}), L"-1,234");
    EXPECT_EQ(Format(L"%1%", {-1000}), L"-1,000");
    EXPECT_EQ(Format(L"%1%", {0}), L"0");
    EXPECT_EQ(Format(L"%1%", {100000}), L"100,000");
    EXPECT_EQ(Format(L"%1%", {(long long)INT64_MIN}), L"-9,223,372,036,854,775,808");
    EXPECT_EQ(Format(L"%1%", {(unsigned long long)UINT64_MAX}), L"18,446,744,073,709,551,615");
}

TEST(StringFormatter, RadixConversions)
{
    EXPECT_EQ(Format(L"%1:x%", {255}), L"ff");
    EXPECT_EQ(Format(L"%1:X%", {255}), L"FF");
    EXPECT_EQ(Format(L"%1:b%", {5}), L"101");
    EXPECT_EQ(Format(L"%1:o%", {8}), L"10");
    EXPECT_EQ(Format(L"%1:x%", {-255}), L"-ff");
    EXPECT_EQ(Format(L"%1:x%", {4294967295u}), L"ffffffff");
    EXPECT_EQ(Format(L"%1:X%", {(long long)INT64_MIN}), L"-8000000000000000");
    EXPECT_EQ(Format(L"%1:b%", {(unsigned long long)UINT64_MAX}), std::wstring(64, L'1'));
    // Width and precision do nothing to integers.
    EXPECT_EQ(Format(L"%1:d10.3%", {42}), L"42");
    EXPECT_EQ(Format(L"%1:12%", {1234}), L"1,234");
}

TEST(StringFormatter, IntegerKindsWidenBySignedness)
{
    EXPECT_EQ(Format(L"%1:x%", {short(-1)}), L"-1");
    EXPECT_EQ(Format(L"%1%", {(unsigned short)65535}), L"65,535");
    EXPECT_EQ(Format(L"%1%", {4294967295u}), L"4,294,967,295");
    EXPECT_EQ(Format(L"%1%", {-5L}), L"-5");
    EXPECT_EQ(Format(L"%1:x%", {~0UL}), L"ffffffffffffffff");
    // A character is appended as itself, the same code as an unsigned short as a number.
    EXPECT_EQ(Format(L"%1%", {L'A'}), L"A");
    EXPECT_EQ(Format(L"%1%", {(unsigned short)65}), L"65");
    EXPECT_EQ(Format(L"%1:x%", {L'%'}), L"%");
}

TEST(StringFormatter, RealNumbersUseWidthAndPrecision)
{
    EXPECT_EQ(Format(L"%1%", {0.5f}), L"0.500000");
    EXPECT_EQ(Format(L"%1:.2%", {3.14159}), L"3.14");
    EXPECT_EQ(Format(L"%1:8.3%", {3.14159}), L"   3.142");
    EXPECT_EQ(Format(L"%1:10%", {0.5}), L"  0.500000");
    EXPECT_EQ(Format(L"%1:x.1%", {-2.75}), L"-2.8"); // the letter is ignored
    // Run characters need not be digits: '!' is 33 - 48 = -15, left alignment in 15 columns.
    EXPECT_EQ(Format(L"%1:!%", {0.5}), L"0.500000       ");
}

TEST(StringFormatter, HugeWidthAndPrecisionSaturateAndNeverOverflow)
{
    // "ab" as a width run: (97 - 48) * 10 + (98 - 48) = 540.
    StringFormatter odd(L"%1:ab%");
    ASSERT_EQ(odd.segments.size(), 1u);
    EXPECT_EQ(odd.segments[0].width, 540);
    odd.AddArgument(1.5);
    odd.Render();
    EXPECT_EQ(odd.result, std::wstring(532, L' ') + L"1.500000");

    StringFormatter huge(L"[%1:99999999999999999999.99999999999999999999%]");
    ASSERT_EQ(huge.segments.size(), 3u);
    EXPECT_EQ(huge.segments[1].width, StringFormatter::kMaxWidth);
    EXPECT_EQ(huge.segments[1].precision, StringFormatter::kMaxWidth);
    huge.AddArgument(1e300);
    huge.Render();
    // 301 digits, the point, 1024 decimals: far past any fixed buffer.
    ASSERT_EQ(huge.result.size(), 1u + 301 + 1 + 1024 + 1);
    EXPECT_EQ(huge.result.substr(0, 2), L"[1");
    EXPECT_EQ(huge.result[302], L'.');
    EXPECT_EQ(huge.result.back(), L']');

    StringFormatter left(L"%1:!!!!!!!!!!!!%");
    EXPECT_EQ(left.segments[0].width, -StringFormatter::kMaxWidth);
    left.AddArgument(0.0);
    left.Render();
    EXPECT_EQ(left.result, L"0.000000" + std::wstring(1024 - 8, L' '));

    // Characters far outside the digits saturate too instead of wrapping.
    std::wstring wild = L"%1:";
    wild += wchar_t(0x10FFFF);
    wild += L'.';
    wild += wchar_t(-2147483647 - 1);
    wild += L'%';
    StringFormatter w(wild);
    EXPECT_EQ(w.segments[0].width, StringFormatter::kMaxWidth);
    EXPECT_EQ(w.segments[0].precision, -StringFormatter::kMaxWidth);
}

TEST(StringFormatter, LiteralsAndPercentSigns)
{
    EXPECT_EQ(Format(L"100%"), L"100%");
    EXPECT_EQ(Format(L"a%%b"), L"a%b");
    EXPECT_EQ(Format(L"%%"), L"%");
    EXPECT_EQ(Format(L"%1"), L"%1");
    EXPECT_EQ(Format(L"%1", {5}), L"%1");
    EXPECT_EQ(Format(L""), L"");
    EXPECT_EQ(Format(L"%1%%", {5}), L"5%");
    EXPECT_EQ(Format(L"x%1%y%1:d%z", {1000}), L"x1,000y1000z");
    EXPECT_TRUE(StringFormatter(L"").segments.empty());
}

TEST(StringFormatter, UnresolvedDirectivesAreCopiedAsWritten)
{
    EXPECT_EQ(Format(L"%2%", {1}), L"%2%");
    EXPECT_EQ(Format(L"%0%", {1}), L"%0%");
    EXPECT_EQ(Format(L"%name%", {1}), L"%name%");
    EXPECT_EQ(Format(L"%:d%", {1}), L"%:d%");
    EXPECT_EQ(Format(L"%1x:d%", {1}), L"%1x:d%");
    EXPECT_EQ(Format(L"a %3:8.2% b", {1, 2}), L"a %3:8.2% b");
    EXPECT_EQ(Format(L"%01%", {7}), L"7"); // leading zeros allowed
    // A number past 32 bits saturates rather than wrapping round to argument 1.
    EXPECT_EQ(Format(L"%4294967297%", {7}), L"%4294967297%");
    EXPECT_EQ(StringFormatter(L"%99999999999999999999%").segments[0].argument, UINT32_MAX);
}

TEST(StringFormatter, TextArgumentsAreNeverScannedAgain)
{
    EXPECT_EQ(Format(L"%1%", {std::wstring(L"50%")}), L"50%");
    EXPECT_EQ(Format(L"%1%", {std::wstring(L"%2%")}), L"%2%");
    EXPECT_EQ(Format(L"<%1%|%1%>", {std::wstring(L"ab")}), L"<ab|ab>");
    EXPECT_EQ(Format(L"%2%-%1%", {std::wstring(L"one"), std::wstring(L"two")}), L"two-one");
}

TEST(StringFormatter, SegmentsRecordEveryDirectiveField)
{
    StringFormatter f(L"ab%12:X7.3%c%3:.5.9%%4:d%");
    ASSERT_EQ(f.segments.size(), 5u);
    const auto& lit = f.segments[0];
    EXPECT_EQ(lit.argument, 0u);
    EXPECT_EQ(lit.start, 0u);
    EXPECT_EQ(lit.end, 2u);
    const auto& d = f.segments[1];
    EXPECT_EQ(d.argument, 12u);
    EXPECT_EQ(d.start, 2u);
    EXPECT_EQ(d.end, 11u);
    EXPECT_EQ(d.conversion, StringFormatter::kHexUpper);
    EXPECT_EQ(d.width, 7);
    EXPECT_EQ(d.precision, 3);
    EXPECT_EQ(f.segments[2].start, 11u);
    EXPECT_EQ(f.segments[2].end, 12u);
    // The precision run stops at a second ".".
    const auto& p = f.segments[3];
    EXPECT_EQ(p.argument, 3u);
    EXPECT_EQ(p.conversion, StringFormatter::kNoConversion);
    EXPECT_EQ(p.width, -1);
    EXPECT_EQ(p.precision, 5);
    const auto& q = f.segments[4];
    EXPECT_EQ(q.conversion, StringFormatter::kDecimal);
    EXPECT_EQ(q.width, -1);
    EXPECT_EQ(q.precision, -1);
    // Letters are case-sensitive: "D" is no conversion and becomes a width run.
    StringFormatter upper(L"%1:D%");
    EXPECT_EQ(upper.segments[0].conversion, StringFormatter::kNoConversion);
    EXPECT_EQ(upper.segments[0].width, L'D' - L'0');
}

TEST(StringFormatter, RenderingStartsAfreshEachTime)
{
    StringFormatter f(L"%1% and %2%");
    f.AddArgument(std::wstring(L"one"));
    f.Render();
    EXPECT_EQ(f.result, L"one and %2%");
    f.Render();
    EXPECT_EQ(f.result, L"one and %2%");
    f.AddArgument(2.5);
    f.Render();
    EXPECT_EQ(f.result, L"one and 2.500000");
}

TEST(StringFormatter, TimeStampsFollowTheConversionLetter)
{
    // The test main pins TZ=UTC. 1700000000 is 2023-11-14 22:13:20 UTC.
    const TimeStamp t(1700000000);
    EXPECT_EQ(Format(L"%1:d%", {t}), L"2023-11-14");
    EXPECT_EQ(Format(L"%1:t%", {t}), L"22:13");
    EXPECT_EQ(Format(L"%1%", {t}), L"2023-11-14 22:13");
    EXPECT_EQ(Format(L"%1:X8.2%", {t}), L"2023-11-14 22:13");
    EXPECT_EQ(Format(L"on %1:d% at %1:t%", {TimeStamp(0)}), L"on 1970-01-01 at 00:00");
}
