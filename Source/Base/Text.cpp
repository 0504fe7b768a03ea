#include "Base/Text.h"

namespace Kestrin
{

void AppendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80)
    {
        out.push_back(char(c));
    }
    else if (c < 0x800)
    {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
    else if (c < 0x10000)
    {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
    else
    {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::string ToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text)
        AppendUtf8(out, char32_t(uint32_t(w)));
    return out;
}

std::wstring FromUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    while (i < n)
    {
        unsigned char b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80)
        {
            out.push_back(wchar_t(b0));
            ++i;
            continue;
        }
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b0 & 0xE0) == 0xC0)
        {
            extra = 1;
            c = b0 & 0x1F;
            min = 0x80;
        }
        else if ((b0 & 0xF0) == 0xE0)
        {
            extra = 2;
            c = b0 & 0x0F;
            min = 0x800;
        }
        else if ((b0 & 0xF8) == 0xF0)
        {
            extra = 3;
            c = b0 & 0x07;
            min = 0x10000;
        }
        else
        {
            out.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; ok && k <= extra; ++k)
        {
            if (i + size_t(k) >= n)
            {
                ok = false;
                break;
            }
            unsigned char b = static_cast<unsigned char>(text[i + size_t(k)]);
            if ((b & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (b & 0x3F);
        }
        if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        {
            out.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(wchar_t(c));
        i += size_t(extra) + 1;
    }
    return out;
}

} // namespace Kestrin
