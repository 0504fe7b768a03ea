#pragma once
#include <boost/variant.hpp>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace Kestrin
{

// A moment to be written as local date and/or time. A type of its own, so that it is never
// taken for one of the integer kinds.
struct TimeStamp
{
    TimeStamp() = default;
    explicit TimeStamp(std::time_t t) : time(t) {}
    bool operator==(const TimeStamp&) const = default;

    std::time_t time = 0; // seconds since 1970-01-01 00:00 UTC
};

// Turns a wide pattern with numbered directives and a list of typed arguments into a wide text.
//
//   %n%            argument n (from 1) in its default form
//   %n:c%          with conversion letter c: b o d x X t
//   %n:cW.P%       with width W and precision P (real numbers only); c is optional
//   %%             one "%"
//
// Integers: b binary, o octal, d decimal, x / X hexadecimal; no letter or t is decimal grouped
// with "," (1,234,567). Width and precision are ignored for them. Real numbers come out as
// printf's "%*.*f" with the width and precision (absent: no padding, 6 decimals). Characters and
// texts come out as they are. A TimeStamp gives FormatLocalDate under d, FormatLocalTime under t,
// FormatLocalDateTime otherwise.
//
// Nothing is an error: a directive that names no argument (%0%, %name%, %:d%, a number above
// the argument count) is copied as written, and an unclosed "%" is copied with the rest of
// the pattern.
class StringFormatter
{
public:
    // Conversion letters as bits.
    enum : uint32_t
    {
        kNoConversion = 0,
        kBinary = 1,     // b
        kOctal = 2,      // o
        kDecimal = 4,    // d
        kHexLower = 8,   // x
        kHexUpper = 16,  // X
        kTimeOfDay = 32, // t
    };

    // Width and precision saturate at this magnitude; the output is never cut.
    static constexpr int32_t kMaxWidth = 1024;

    struct Segment
    {
        uint32_t argument = 0; // from 1; 0 for literal text and unresolved directives
        uint32_t start = 0;    // positions in `format`; a directive spans both its "%"
        uint32_t end = 0;      // exclusive
        uint32_t conversion = kNoConversion;
        int32_t width = -1;     // -1 when absent
        int32_t precision = -1; // -1 when absent
    };

    // The index of a kind is its position. Kinds are told apart by their C++ type; `long` and
    // `unsigned long` are 64-bit here, all integers are widened to 64 bits before conversion.
    using Argument = boost::variant<wchar_t, int, unsigned int, short, unsigned short, long, unsigned long,
                                    long long, unsigned long long, float, double, std::wstring, TimeStamp>;

    // Parses the pattern once; every pattern is accepted.
    explicit StringFormatter(const std::wstring& pattern);

    void AddArgument(const Argument& argument);
    // Rebuilds `result` from the segments and the arguments added so far.
    void Render();

    std::wstring format;
    std::wstring result;
    std::vector<Segment> segments;
    std::vector<Argument> arguments;
};

} // namespace Kestrin
