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

// "argument start-end conversion width.precision" of one segment.
std::string Fields(const StringFormatter::Segment& s)
{
    return std::to_string(s.argument) + " " + std::to_string(s.start) + "-" + std::to_string(s.end) + " " +
           std::to_string(int(s.conversion)) + " " + std::to_string(s.width) + "." +
           std::to_string(s.precision);
}

struct Case
{
    const wchar_t* pattern;
    std::vector<Argument> args;
    std::wstring expected;
};
} // namespace

TEST(StringFormatter, RendersEachKindOfArgument)
{
    const TimeStamp t(1700000000); // 2023-11-14 22:13:20 UTC; the test main pins TZ=UTC
    const Case cases[] = {
        // Whole numbers: grouped unless "d", whatever their width.
        {L"%1:d%", {1234567}, L"1234567"},
        {L"%1%", {1234567}, L"1,234,567"},
        {L"%1:t%", {1234567}, L"1,234,567"},
        {L"%1%", {-1000}, L"-1,000"},
        {L"%1%", {0}, L"0"},
        {L"%1%", {(long long)INT64_MIN}, L"-9,223,372,036,854,775,808"},
        {L"%1%", {(unsigned long long)UINT64_MAX}, L"18,446,744,073,709,551,615"},
        {L"%1:X%", {255}, L"FF"},
        {L"%1:b%", {5}, L"101"},
        {L"%1:o%", {8}, L"10"},
        {L"%1:x%", {-255}, L"-ff"},
        {L"%1:X%", {(long long)INT64_MIN}, L"-8000000000000000"},
        {L"%1:b%", {(unsigned long long)UINT64_MAX}, std::wstring(64, L'1')},
        {L"%1:d10.3%", {42}, L"42"},
        {L"%1:12%", {1234}, L"1,234"},
        // Integer kinds widen by their signedness; a character is appended as itself.
        {L"%1:x%", {short(-1)}, L"-1"},
        {L"%1%", {(unsigned short)65535}, L"65,535"},
        {L"%1%", {4294967295u}, L"4,294,967,295"},
        {L"%1:x%", {~0UL}, L"ffffffffffffffff"},
        {L"%1%", {L'A'}, L"A"},
        {L"%1%", {(unsigned short)65}, L"65"},
        {L"%1:x%", {L'%'}, L"%"},
        // Real numbers take width and precision; the letter is ignored.
        {L"%1%", {0.5f}, L"0.500000"},
        {L"%1:8.3%", {3.14159}, L"   3.142"},
        {L"%1:10%", {0.5}, L"  0.500000"},
        {L"%1:x.1%", {-2.75}, L"-2.8"},
        // Run characters need not be digits: '!' is 33 - 48 = -15, left alignment in 15 columns.
        {L"%1:!%", {0.5}, L"0.500000       "},
        // Text is never scanned again.
        {L"%1%", {std::wstring(L"%2%")}, L"%2%"},
        {L"<%1%|%1%>", {std::wstring(L"ab")}, L"<ab|ab>"},
        {L"%2%-%1%", {std::wstring(L"one"), std::wstring(L"two")}, L"two-one"},
        // Time stamps follow the letter.
        {L"%1:d%", {t}, L"2023-11-14"},
        {L"%1:t%", {t}, L"22:13"},
        {L"%1:X8.2%", {t}, L"2023-11-14 22:13"},
        {L"on %1:d% at %1:t%", {TimeStamp(0)}, L"on 1970-01-01 at 00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(StringFormatter, LiteralsPercentSignsAndUnresolvedDirectivesAsWritten)
{
    const Case cases[] = {
        {L"100%", {}, L"100%"},
        {L"a%%b", {}, L"a%b"},
        {L"%1", {5}, L"%1"},
        {L"", {}, L""},
        {L"%1%%", {5}, L"5%"},
        {L"x%1%y%1:d%z", {1000}, L"x1,000y1000z"},
        {L"%2%", {1}, L"%2%"},
        {L"%0%", {1}, L"%0%"},
        {L"%name%", {1}, L"%name%"},
        {L"%:d%", {1}, L"%:d%"},
        {L"%1x:d%", {1}, L"%1x:d%"},
        {L"a %3:8.2% b", {1, 2}, L"a %3:8.2% b"},
        {L"%01%", {7}, L"7"}, // leading zeros allowed
        // A number past 32 bits saturates rather than wrapping round to argument 1.
        {L"%4294967297%", {7}, L"%4294967297%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.pattern, c.args), c.expected) << c.pattern;
    EXPECT_TRUE(StringFormatter(L"").segments.empty());
    EXPECT_EQ(StringFormatter(L"%99999999999999999999%").segments[0].argument, UINT32_MAX);
}

TEST(StringFormatter, SegmentsRecordEveryDirectiveField)
{
    StringFormatter f(L"ab%12:X7.3%c%3:.5.9%%4:d%");
    ASSERT_EQ(f.segments.size(), 5u);
    const int none = StringFormatter::kNoConversion;
    EXPECT_EQ(Fields(f.segments[0]), "0 0-2 " + std::to_string(none) + " -1.-1");
    EXPECT_EQ(Fields(f.segments[1]), "12 2-11 " + std::to_string(int(StringFormatter::kHexUpper)) + " 7.3");
    EXPECT_EQ(Fields(f.segments[2]).substr(0, 7), "0 11-12");
    EXPECT_EQ(Fields(f.segments[3]), "3 12-20 " + std::to_string(none) + " -1.5"); // stops at a second "."
    EXPECT_EQ(Fields(f.segments[4]), "4 20-25 " + std::to_string(int(StringFormatter::kDecimal)) + " -1.-1");
    // Letters are case-sensitive: "D" is no conversion and becomes a width run.
    StringFormatter upper(L"%1:D%");
    EXPECT_EQ(upper.segments[0].conversion, StringFormatter::kNoConversion);
    EXPECT_EQ(upper.segments[0].width, L'D' - L'0');
}

TEST(StringFormatter, HugeWidthAndPrecisionSaturateAndNeverOverflow)
{
    // "ab" as a width run: (97 - 48) * 10 + (98 - 48) = 540.
    EXPECT_EQ(Format(L"%1:ab%", {1.5}), std::wstring(532, L' ') + L"1.500000");

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
    EXPECT_EQ(Format(L"%1:!!!!!!!!!!!!%", {0.0}), L"0.000000" + std::wstring(1024 - 8, L' '));

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

TEST(StringFormatter, RenderingStartsAfreshEachTime)
{
    StringFormatter f(L"%1% and %2%");
    f.AddArgument(std::wstring(L"one"));
    f.Render();
    f.Render();
    EXPECT_EQ(f.result, L"one and %2%");
    f.AddArgument(2.5);
    f.Render();
    EXPECT_EQ(f.result, L"one and 2.500000");
}
