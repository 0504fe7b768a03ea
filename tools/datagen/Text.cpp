#include "Text.h"

#include "Det.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace DataGen
{
namespace
{
// One library and its faces per thread: FreeType objects are not shared between threads.
struct FreeType
{
    FT_Library library = nullptr;
    std::map<Face, FT_Face> faces;
    FreeType()
    {
        if (FT_Init_FreeType(&library) != 0)
            throw std::runtime_error("cannot start FreeType");
    }
    ~FreeType()
    {
        for (auto& [face, handle] : faces)
            FT_Done_Face(handle);
        FT_Done_FreeType(library);
    }
    FT_Face Get(Face face, int pixels)
    {
        auto it = faces.find(face);
        if (it == faces.end())
        {
            FT_Face handle = nullptr;
            const std::string path = FacePath(face);
            if (FT_New_Face(library, path.c_str(), 0, &handle) != 0)
                throw std::runtime_error("cannot open the face " + path);
            it = faces.emplace(face, handle).first;
        }
        if (FT_Set_Pixel_Sizes(it->second, 0, static_cast<FT_UInt>(pixels)) != 0)
            throw std::runtime_error("cannot size the face");
        return it->second;
    }
};

FreeType& Library()
{
    thread_local FreeType freeType;
    return freeType;
}

int Advance(FT_Face face, char32_t c)
{
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0)
        return 0;
    return static_cast<int>((face->glyph->advance.x + 32) >> 6);
}
} // namespace

std::string FacePath(Face face)
{
    const std::string folder = "/usr/share/fonts/truetype/dejavu/";
    switch (face)
    {
    case Face::Sans:
        return folder + "DejaVuSans.ttf";
    case Face::SansBold:
        return folder + "DejaVuSans-Bold.ttf";
    case Face::MonoBold:
        return folder + "DejaVuSansMono-Bold.ttf";
    case Face::Serif:
        return folder + "DejaVuSerif.ttf";
    }
    return folder + "DejaVuSans.ttf";
}

std::u32string DecodeLatin1Text(const std::string& s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();)
    {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = 0;
        if (c < 0x80)
        {
            cp = c;
            i += 1;
        }
        else if ((c & 0xE0) == 0xC0 && i + 1 < s.size() &&
                 (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80)
        {
            cp = (char32_t(c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
            if (cp < 0x80)
                throw std::invalid_argument("overlong UTF-8 in text");
            i += 2;
        }
        else
            throw std::invalid_argument("text outside Latin-1 or malformed UTF-8: " + s);
        if (cp != U'\n' && (cp < 0x20 || cp > 0xFF || (cp >= 0x7F && cp < 0xA0)))
            throw std::invalid_argument("text outside Latin-1: " + s);
        out.push_back(cp);
    }
    return out;
}

int TextWidth(const std::u32string& line, const TextStyle& style)
{
    FT_Face face = Library().Get(style.face, style.pixels);
    int w = 0;
    for (char32_t c : line)
        w += Advance(face, c);
    return w;
}

std::vector<std::u32string> WrapText(const std::string& utf8, const TextStyle& style, int width)
{
    const std::u32string text = DecodeLatin1Text(utf8);
    std::vector<std::u32string> lines;
    std::u32string line, word;
    auto flushWord = [&]
    {
        if (word.empty())
            return;
        const std::u32string candidate = line.empty() ? word : line + U' ' + word;
        if (width > 0 && !line.empty() && TextWidth(candidate, style) > width)
        {
            lines.push_back(line);
            line = word;
        }
        else
            line = candidate;
        word.clear();
    };
    for (char32_t c : text)
    {
        if (c == U' ')
            flushWord();
        else if (c == U'\n')
        {
            flushWord();
            lines.push_back(line);
            line.clear();
        }
        else
            word.push_back(c);
    }
    flushWord();
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

int DrawText(Canvas& canvas, const std::string& utf8, int x, int y, int width, const TextStyle& style)
{
    const std::vector<std::u32string> lines = WrapText(utf8, style, width);
    FT_Face face = Library().Get(style.face, style.pixels);
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int lineStep = static_cast<int>(std::floor(style.pixels * style.lineSpacing + 0.5));

    // Coverage first, so the outline can be dilated from it.
    Canvas mask(canvas.Width(), canvas.Height());
    int baseline = y + ascent;
    for (const std::u32string& line : lines)
    {
        int pen = x;
        if (style.align != Align::Left && width > 0)
        {
            const int spare = width - TextWidth(line, style);
            pen += style.align == Align::Center ? spare / 2 : spare;
        }
        for (char32_t c : line)
        {
            if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot g = face->glyph;
            const FT_Bitmap& b = g->bitmap;
            for (unsigned row = 0; row < b.rows; ++row)
                for (unsigned col = 0; col < b.width; ++col)
                {
                    const double cov = b.buffer[row * b.pitch + col] / 255.0;
                    const int px = pen + g->bitmap_left + static_cast<int>(col);
                    const int py = baseline - g->bitmap_top + static_cast<int>(row);
                    const Rgba old = mask.At(px, py);
                    if (cov > old.a)
                        mask.Put(px, py, {0, 0, 0, static_cast<float>(cov)});
                }
            pen += static_cast<int>((g->advance.x + 32) >> 6);
        }
        baseline += lineStep;
    }
    if (style.outline > 0)
    {
        const int r = style.outline;
        for (int py = 0; py < canvas.Height(); ++py)
            for (int px = 0; px < canvas.Width(); ++px)
            {
                double best = 0.0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx)
                    {
                        // A round brush, its rim softened by how far it reaches past r.
                        const double reach = Det::Clamp01(r + 0.5 - std::sqrt(double(dx * dx + dy * dy)));
                        const double v = mask.At(px + dx, py + dy).a * reach;
                        if (v > best)
                            best = v;
                    }
                if (best > 0.0)
                    canvas.Blend(px, py, style.outlineColor, best);
            }
    }
    for (int py = 0; py < canvas.Height(); ++py)
        for (int px = 0; px < canvas.Width(); ++px)
        {
            const double a = mask.At(px, py).a;
            if (a > 0.0)
                canvas.Blend(px, py, style.color, a);
        }
    return static_cast<int>(lines.size()) * lineStep;
}

int TextHeight(const std::string& utf8, const TextStyle& style, int width)
{
    const int lineStep = static_cast<int>(std::floor(style.pixels * style.lineSpacing + 0.5));
    return static_cast<int>(WrapText(utf8, style, width).size()) * lineStep;
}

namespace
{
bool Fits(const std::string& utf8, int w, int h, const TextStyle& style)
{
    // Every line must fit the width too: a single long word cannot be wrapped.
    if (TextHeight(utf8, style, w) > h)
        return false;
    for (const std::u32string& line : WrapText(utf8, style, w))
        if (TextWidth(line, style) > w)
            return false;
    return true;
}

[[noreturn]] void NoFit(const std::string& utf8, int w, int h)
{
    throw std::runtime_error("the text \"" + utf8 + "\" does not fit " + std::to_string(w) + " x " +
                             std::to_string(h) + " pixels");
}
} // namespace

int FittedSize(const std::vector<std::string>& texts, int w, int h, TextStyle style, int minPixels)
{
    for (; style.pixels >= minPixels; --style.pixels)
    {
        bool all = true;
        for (const std::string& t : texts)
            all = all && Fits(t, w, h, style);
        if (all)
            return style.pixels;
    }
    // Name the first text that does not fit at the smallest size allowed.
    style.pixels = minPixels;
    for (const std::string& t : texts)
        if (!Fits(t, w, h, style))
            NoFit(t, w, h);
    NoFit(texts.empty() ? std::string() : texts.front(), w, h);
}

int DrawTextFitted(Canvas& canvas, const std::string& utf8, int x, int y, int w, int h, TextStyle style,
                   int minPixels, bool middle)
{
    for (; style.pixels >= minPixels; --style.pixels)
    {
        if (!Fits(utf8, w, h, style))
            continue;
        const int used = TextHeight(utf8, style, w);
        DrawText(canvas, utf8, x, middle ? y + (h - used) / 2 : y, w, style);
        return style.pixels;
    }
    NoFit(utf8, w, h);
}
} // namespace DataGen
