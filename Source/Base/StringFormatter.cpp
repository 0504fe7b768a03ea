#include "Base/StringFormatter.h"

#include "Base/LocalTime.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <type_traits>

namespace Kestrin
{

namespace
{
using Segment = StringFormatter::Segment;

// A width or precision run: its first character sets 0, then value * 10 + (c - '0') per
// character, digits or not. Saturated so that no run can overflow.
int32_t ReadRun(const std::wstring& f, size_t from, size_t to)
{
    if (from >= to)
        return -1;
    int64_t value = 0;
    for (size_t i = from; i < to; ++i)
    {
        value = value * 10 + (int64_t(f[i]) - L'0');
        value = std::clamp<int64_t>(value, -StringFormatter::kMaxWidth, StringFormatter::kMaxWidth);
    }
    return int32_t(value);
}

uint32_t ConversionBit(wchar_t c)
{
    switch (c)
    {
    case L'b':
        return StringFormatter::kBinary;
    case L'o':
        return StringFormatter::kOctal;
    case L'd':
        return StringFormatter::kDecimal;
    case L'x':
        return StringFormatter::kHexLower;
    case L'X':
        return StringFormatter::kHexUpper;
    case L't':
        return StringFormatter::kTimeOfDay;
    default:
        return StringFormatter::kNoConversion;
    }
}

// The directive runs from the "%" at `open` to the "%" at `close`.
Segment ReadDirective(const std::wstring& f, size_t open, size_t close)
{
    Segment s;
    s.start = uint32_t(open);
    s.end = uint32_t(close + 1);

    size_t first = open + 1;
    size_t colon = first;
    while (colon < close && f[colon] != L':')
        ++colon;
    if (colon > first)
    {
        bool digits = true;
        uint64_t number = 0;
        for (size_t i = first; i < colon && digits; ++i)
        {
            if (f[i] < L'0' || f[i] > L'9')
                digits = false;
            else // saturates: a number too large for the field names no argument either
                number = std::min<uint64_t>(number * 10 + uint64_t(f[i] - L'0'),
                                            std::numeric_limits<uint32_t>::max());
        }
        if (digits)
            s.argument = uint32_t(number);
    }
    if (colon >= close)
        return s;

    size_t i = colon + 1;
    if (i < close)
    {
        s.conversion = ConversionBit(f[i]);
        if (s.conversion != StringFormatter::kNoConversion)
            ++i;
    }
    size_t dot = i;
    while (dot < close && f[dot] != L'.')
        ++dot;
    s.width = ReadRun(f, i, dot);
    if (dot < close)
    {
        size_t second = dot + 1;
        while (second < close && f[second] != L'.')
            ++second;
        s.precision = ReadRun(f, dot + 1, second);
    }
    return s;
}

Segment Literal(size_t start, size_t end)
{
    Segment s;
    s.start = uint32_t(start);
    s.end = uint32_t(end);
    return s;
}

void AppendAscii(std::wstring& out, const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        out.push_back(wchar_t(static_cast<unsigned char>(text[i])));
}

void AppendInteger(std::wstring& out, uint64_t bits, bool isSigned, uint32_t conversion)
{
    unsigned radix = 10;
    bool group = false;
    const char* digits = "0123456789abcdef";
    switch (conversion)
    {
    case StringFormatter::kBinary:
        radix = 2;
        break;
    case StringFormatter::kOctal:
        radix = 8;
        break;
    case StringFormatter::kDecimal:
        radix = 10;
        break;
    case StringFormatter::kHexLower:
        radix = 16;
        break;
    case StringFormatter::kHexUpper:
        radix = 16;
        digits = "0123456789ABCDEF";
        break;
    default:
        group = true;
        break;
    }
    bool negative = isSigned && int64_t(bits) < 0;
    uint64_t magnitude = negative ? 0 - bits : bits; // the most negative value works too

    // 64 binary digits and a sign at most; grouped decimal is shorter.
    char buffer[72];
    size_t pos = sizeof buffer;
    int count = 0;
    do
    {
        if (group && count > 0 && count % 3 == 0)
            buffer[--pos] = ',';
        buffer[--pos] = digits[magnitude % radix];
        magnitude /= radix;
        ++count;
    } while (magnitude != 0);
    if (negative)
        buffer[--pos] = '-';
    AppendAscii(out, buffer + pos, sizeof buffer - pos);
}

void AppendReal(std::wstring& out, double value, const Segment& s)
{
    // Formats into a buffer of the needed size, so no width, precision or value can overflow.
    char small[256];
    int n = std::snprintf(small, sizeof small, "%*.*f", int(s.width), int(s.precision), value);
    if (n < 0)
        return;
    if (size_t(n) < sizeof small)
    {
        AppendAscii(out, small, size_t(n));
        return;
    }
    std::string big(size_t(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), "%*.*f", int(s.width), int(s.precision), value);
    AppendAscii(out, big.data(), size_t(n));
}

struct Appender : boost::static_visitor<void>
{
    std::wstring& out;
    const Segment& segment;

    Appender(std::wstring& o, const Segment& s) : out(o), segment(s) {}

    void operator()(wchar_t c) const { out.push_back(c); }
    void operator()(const std::wstring& text) const { out += text; }
    void operator()(float v) const { AppendReal(out, double(v), segment); }
    void operator()(double v) const { AppendReal(out, v, segment); }
    void operator()(const TimeStamp& t) const
    {
        if (segment.conversion == StringFormatter::kDecimal)
            out += FormatLocalDate(t.time);
        else if (segment.conversion == StringFormatter::kTimeOfDay)
            out += FormatLocalTime(t.time);
        else
            out += FormatLocalDateTime(t.time);
    }
    template <class T> void operator()(T v) const
    {
        static_assert(std::is_integral_v<T>);
        if constexpr (std::is_signed_v<T>)
            AppendInteger(out, uint64_t(int64_t(v)), true, segment.conversion);
        else
            AppendInteger(out, uint64_t(v), false, segment.conversion);
    }
};
} // namespace

StringFormatter::StringFormatter(const std::wstring& pattern) : format(pattern)
{
    const std::wstring& f = format;
    const size_t n = f.size();
    size_t start = 0;
    size_t p = 1;
    // The character at `start` is never taken as the closing "%": after each cut the scan
    // resumes one past the new start.
    while (p < n)
    {
        if (f[p] != L'%')
        {
            ++p;
            continue;
        }
        if (f[start] != L'%')
        {
            segments.push_back(Literal(start, p)); // this "%" opens a directive
            start = p;
        }
        else if (p == start + 1)
        {
            segments.push_back(Literal(start, start + 1)); // "%%" gives one "%"
            start = p + 1;
        }
        else
        {
            segments.push_back(ReadDirective(f, start, p));
            start = p + 1;
        }
        p = start + 1;
    }
    if (start < n)
        segments.push_back(Literal(start, n));
}

void StringFormatter::AddArgument(const Argument& argument)
{
    arguments.push_back(argument);
}

void StringFormatter::Render()
{
    result.clear();
    result.reserve(format.size());
    for (const Segment& s : segments)
    {
        if (s.argument == 0 || s.argument > arguments.size())
            result.append(format, s.start, s.end - s.start);
        else
            boost::apply_visitor(Appender(result, s), arguments[s.argument - 1]);
    }
}

} // namespace Kestrin
