// Patterns from arbitrary bytes: the parser must accept all of them, cut them into segments that
// tile the pattern, keep widths bounded, and render the same text every time.
#include "Base/StringFormatter.h"
#include "Base/Text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using Kestrin::StringFormatter;

namespace
{
void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

std::wstring Pattern(const uint8_t* data, size_t size)
{
    // Odd first byte: raw 32-bit units, so every wchar_t value reaches the width runs.
    if (size > 0 && (data[0] & 1))
    {
        std::wstring raw((size - 1) / sizeof(wchar_t), L'\0');
        if (!raw.empty())
            std::memcpy(raw.data(), data + 1, raw.size() * sizeof(wchar_t));
        return raw;
    }
    return Kestrin::FromUtf8(
        std::string_view(reinterpret_cast<const char*>(data), size).substr(size ? 1 : 0));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StringFormatter f(Pattern(data, size));
    const std::wstring& text = f.format;

    uint32_t covered = 0;
    for (const StringFormatter::Segment& s : f.segments)
    {
        // The only gap a segment leaves is the second "%" of a "%%".
        bool follows = s.start == covered;
        bool afterDouble =
            s.start == covered + 1 && covered > 0 && text[covered - 1] == L'%' && text[covered] == L'%';
        Check(follows || afterDouble);
        Check(s.start < s.end && s.end <= text.size());
        Check(s.width >= -StringFormatter::kMaxWidth && s.width <= StringFormatter::kMaxWidth);
        Check(s.precision >= -StringFormatter::kMaxWidth && s.precision <= StringFormatter::kMaxWidth);
        Check((s.conversion & (s.conversion - 1)) == 0);
        if (s.argument != 0)
            Check(text[s.start] == L'%' && text[s.end - 1] == L'%' && s.end - s.start >= 3);
        covered = s.end;
    }
    Check(covered == text.size() || (covered + 1 == text.size() && text[covered] == L'%'));

    f.Render(); // no arguments: everything is copied through
    std::wstring bare = f.result;
    Check(bare.size() <= text.size());

    int64_t seed = 0;
    std::memcpy(&seed, data, size < sizeof seed ? size : sizeof seed);
    f.AddArgument(int(seed));
    f.AddArgument(double(seed) * 1e-3);
    f.AddArgument(std::wstring(L"%1%"));
    f.AddArgument(wchar_t(L'%'));
    f.AddArgument(Kestrin::TimeStamp(std::time_t(seed)));
    f.AddArgument((unsigned long long)seed);
    f.AddArgument(float(seed));
    f.Render();
    std::wstring first = f.result;
    f.Render();
    Check(f.result == first);
    return 0;
}
