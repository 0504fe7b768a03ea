#include "Base/Strings.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace Kestrin
{

std::string NarrowString(std::wstring_view text)
{
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = char(uint32_t(text[i]) & 0xFF);
    return out;
}

std::wstring WidenString(std::string_view text)
{
    std::wstring out(text.size(), L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = wchar_t(static_cast<unsigned char>(text[i]));
    return out;
}

std::wstring RemoveCharacters(std::wstring_view text, std::wstring_view set)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (set.find(c) == std::wstring_view::npos)
            out.push_back(c);
    return out;
}

namespace
{
int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return 0;
}

float HexPair(std::wstring_view text, size_t at)
{
    return float(HexValue(text[at]) * 16 + HexValue(text[at + 1])) / 255.0f;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

size_t SkipBlanks(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}
} // namespace

ColorF ParseColorF(std::wstring_view text, const ColorF& defaultColor)
{
    if (text.size() != 9)
        return defaultColor;
    return ColorF(HexPair(text, 1), HexPair(text, 3), HexPair(text, 5), HexPair(text, 7));
}

int WideToInt(std::wstring_view text)
{
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t(INT_MIN) : int64_t(INT_MAX);
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(value * 10 + (text[i] - L'0'), limit);
    return int(negative ? -value : value);
}

float WideToFloat(std::wstring_view text)
{
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';

    // Collect the longest leading decimal number as ASCII for from_chars, and estimate its
    // decimal magnitude so an out-of-range result can be told apart as overflow or underflow.
    std::string digits;
    int integerDigits = 0;
    int leadingPlace = INT_MIN; // power of ten of the first non-zero digit
    for (; i < text.size() && IsDigit(text[i]); ++i, ++integerDigits)
        digits.push_back(char(text[i]));
    for (int k = 0; k < integerDigits; ++k)
        if (digits[size_t(k)] != '0')
        {
            leadingPlace = integerDigits - k - 1;
            break;
        }
    int fractionDigits = 0;
    if (i < text.size() && text[i] == L'.')
    {
        size_t j = i + 1;
        std::string fraction;
        for (; j < text.size() && IsDigit(text[j]); ++j)
            fraction.push_back(char(text[j]));
        if (integerDigits > 0 || !fraction.empty())
        {
            if (leadingPlace == INT_MIN)
                for (size_t k = 0; k < fraction.size(); ++k)
                    if (fraction[k] != '0')
                    {
                        leadingPlace = -int(k) - 1;
                        break;
                    }
            digits += '.';
            digits += fraction;
            fractionDigits = int(fraction.size());
            i = j;
        }
    }
    if (integerDigits == 0 && fractionDigits == 0)
        return 0.0f;
    if (leadingPlace == INT_MIN)
        return negative ? -0.0f : 0.0f;

    long exponent = 0;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E'))
    {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-'))
            negativeExponent = text[j++] == L'-';
        if (j < text.size() && IsDigit(text[j]))
        {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - L'0'), 100000L);
            if (negativeExponent)
                exponent = -exponent;
            digits += 'e';
            digits += std::to_string(exponent);
        }
    }

    double value = 0.0;
    auto result =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = (leadingPlace + exponent > 0) ? double(FLT_MAX) : 0.0;
    else if (std::fabs(value) > double(FLT_MAX))
        value = double(FLT_MAX);
    return float(negative ? -value : value);
}

} // namespace Kestrin
