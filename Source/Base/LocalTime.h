#pragma once
#include <ctime>
#include <string>

namespace Kestrin
{

// Texts of a moment (seconds since 1970-01-01 00:00 UTC) in the local time zone, in fixed
// formats that no locale changes:
//   FormatLocalDate      "YYYY-MM-DD"        (1970-01-01)
//   FormatLocalTime      "HH:MM", 24 hours   (13:05), no seconds
//   FormatLocalDateTime  date, one blank, time
// A moment the C library cannot break down gives an empty text.
std::wstring FormatLocalDate(std::time_t t);
std::wstring FormatLocalTime(std::time_t t);
std::wstring FormatLocalDateTime(std::time_t t);

} // namespace Kestrin
