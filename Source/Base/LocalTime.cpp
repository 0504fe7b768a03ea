#include "Base/LocalTime.h"

#include <cstdio>
#include <mutex>

namespace Kestrin
{

namespace
{
bool ToLocal(std::time_t t, std::tm& out)
{
    // localtime_r need not read TZ itself; read it once for the whole process.
    static std::once_flag zoneRead;
    std::call_once(zoneRead, [] { tzset(); });
    return localtime_r(&t, &out) != nullptr;
}

std::wstring Widen(const char* ascii)
{
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

std::wstring DateText(const std::tm& tm)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", 1900LL + tm.tm_year, tm.tm_mon + 1, tm.tm_mday);
    return Widen(text);
}

std::wstring TimeText(const std::tm& tm)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", tm.tm_hour, tm.tm_min);
    return Widen(text);
}
} // namespace

std::wstring FormatLocalDate(std::time_t t)
{
    std::tm tm{};
    return ToLocal(t, tm) ? DateText(tm) : std::wstring();
}

std::wstring FormatLocalTime(std::time_t t)
{
    std::tm tm{};
    return ToLocal(t, tm) ? TimeText(tm) : std::wstring();
}

std::wstring FormatLocalDateTime(std::time_t t)
{
    std::tm tm{};
    return ToLocal(t, tm) ? DateText(tm) + L' ' + TimeText(tm) : std::wstring();
}

} // namespace Kestrin
