#pragma once
#include "Base/Geometry.h"

#include <string>
#include <string_view>

namespace Kestrin
{

// Byte-wise conversions for error texts and names, not for player text (that goes through UTF-8).
// NarrowString keeps the low 8 bits of each character; WidenString maps each byte to the code
// point of the same value (Latin-1), so 0x80..0xFF never turn into negative characters.
std::string NarrowString(std::wstring_view text);
std::wstring WidenString(std::string_view text);

// A copy of text without any character that occurs in set.
std::wstring RemoveCharacters(std::wstring_view text, std::wstring_view set);

// "#RRGGBBAA" (exactly nine characters; the first is not looked at). Each pair / 255; a character
// that is not a hex digit counts as 0. Any other length gives defaultColor. Never fails.
ColorF ParseColorF(std::wstring_view text, const ColorF& defaultColor = ColorF::Black());

// Number reading for attribute values. Decimal only: leading blanks, an optional sign and the
// longest leading number are taken; hex, "inf" and "nan" are not numbers. No number gives 0.
// Whole numbers saturate at the int range; floats at the largest finite float.
int WideToInt(std::wstring_view text);
float WideToFloat(std::wstring_view text);

} // namespace Kestrin
