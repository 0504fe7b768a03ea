#include "Base/LocalTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

using namespace Kestrin;

TEST(LocalTime, FixedFormatsInUtc)
{
    // The test main pins TZ=UTC.
    EXPECT_EQ(FormatLocalDate(0), L"1970-01-01");
    EXPECT_EQ(FormatLocalTime(0), L"00:00");
    // Seconds are dropped, not rounded.
    EXPECT_EQ(FormatLocalDateTime(86399), L"1970-01-01 23:59");
    EXPECT_EQ(FormatLocalDateTime(-1), L"1969-12-31 23:59");
    EXPECT_EQ(FormatLocalDateTime(951782400), L"2000-02-29 00:00");
    // Past 2038: the moment is never squeezed into 32 bits.
    EXPECT_EQ(FormatLocalDateTime(4102444800), L"2100-01-01 00:00");
}

TEST(LocalTime, FollowsTheTimeZone)
{
    std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
    FormatLocalDate(0); // the first call reads the zone once; a change needs tzset
    setenv("TZ", "EST5", 1);
    tzset();
    EXPECT_EQ(FormatLocalDateTime(0), L"1969-12-31 19:00");
    EXPECT_EQ(FormatLocalTime(13 * 3600 + 5 * 60), L"08:05");
    setenv("TZ", old.c_str(), 1);
    tzset();
    EXPECT_EQ(FormatLocalTime(13 * 3600 + 5 * 60), L"13:05");
}
