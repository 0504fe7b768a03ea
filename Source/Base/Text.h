#pragma once
#include <string>
#include <string_view>

namespace Kestrin
{

// Wide text holds Unicode code points; files, logs and SDL take UTF-8.
// Malformed UTF-8 decodes as U+FFFD per bad byte; code points that UTF-8 cannot carry
// (surrogates, values above U+10FFFF) encode as U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace Kestrin
