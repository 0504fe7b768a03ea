// Image fonts from their ".txt" description and glyph image.
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <algorithm>
#include <climits>

namespace Kestrin
{

namespace
{

// The description's characters, one token at a time.
class DescriptionReader
{
public:
    DescriptionReader(const uint8_t* bytes, size_t size)
    {
        m_text.reserve(size);
        for (size_t i = 0; i < size; ++i)
        {
            uint32_t c = bytes[i];
            if ((c == 0xC2 || c == 0xC3) && i + 1 < size)
            {
                // UTF-8 for U+0080..U+00FF; raw Latin-1 bytes pass as themselves.
                c = c == 0xC2 ? bytes[i + 1] : bytes[i + 1] + 0x40u;
                ++i;
            }
            // The file is read as one zero-terminated text.
            if (c == 0)
                break;
            m_text.push_back(c);
        }
    }

    // One character that is not white space.
    bool ReadChar(uint32_t& c)
    {
        SkipSpace();
        if (m_at >= m_text.size())
            return false;
        c = m_text[m_at++];
        return true;
    }

    // A decimal integer with an optional sign, saturating.
    bool ReadInt(int& value)
    {
        SkipSpace();
        size_t at = m_at;
        bool negative = false;
        if (at < m_text.size() && (m_text[at] == '-' || m_text[at] == '+'))
            negative = m_text[at++] == '-';
        if (at >= m_text.size() || !IsDigit(m_text[at]))
            return false;
        int64_t v = 0;
        for (; at < m_text.size() && IsDigit(m_text[at]); ++at)
            v = std::min<int64_t>(v * 10 + (m_text[at] - '0'), int64_t(INT_MAX) + 1);
        if (negative)
            v = -v;
        value = int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
        m_at = at;
        return true;
    }

private:
    static bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }
    static bool IsSpace(uint32_t c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }
    void SkipSpace()
    {
        while (m_at < m_text.size() && IsSpace(m_text[m_at]))
            ++m_at;
    }

    std::vector<uint32_t> m_text;
    size_t m_at = 0;
};

// Where each glyph of a strip goes in a repacked image.
struct Placement
{
    int x = 0;
    int y = 0;
};

// The glyphs placed row by row in a w-wide image; answers the number of rows used.
int64_t PlaceGlyphs(const FontDescription& d, int w, int64_t pitch, std::vector<Placement>& places)
{
    places.assign(d.glyphs.size(), Placement());
    int64_t x = 0, row = 0;
    for (size_t i = 0; i < d.glyphs.size(); ++i)
    {
        const int64_t width = std::max(d.glyphs[i].width, 0);
        if (w <= x + width)
        {
            ++row;
            x = 0;
        }
        places[i] = {int(x), int(std::min<int64_t>(row * pitch, INT_MAX))};
        x += width + 2;
    }
    return row + 1;
}

constexpr int kLargestAtlas = 4096;

// Copies the strip's glyphs into the smallest power-of-two image they fit, 2 pixels apart.
// False, with everything unchanged, when no size up to the largest atlas holds them.
bool Repack(ImageFont& font, const FontDescription& d, const std::string& name)
{
    Image& strip = *font.image;
    int widest = 0;
    for (const auto& g : d.glyphs)
        widest = std::max(widest, g.width);
    const int64_t pitch = int64_t(d.lineHeight) + 2;
    std::vector<Placement> places;
    for (int w = 64, h = 64; w <= kLargestAtlas && h <= kLargestAtlas; w < h ? w *= 2 : h *= 2)
    {
        if (int64_t(strip.GetWidth() / w) * d.lineHeight > h)
            continue;
        // A glyph wider than the image would be cut off at the right edge.
        if (widest > w)
            continue;
        const int64_t rows = PlaceGlyphs(d, w, pitch, places);
        if (rows * pitch > h)
        {
            LogPrintf("Font: %s did not fit into a %dx%d\n", name.c_str(), w, h);
            continue;
        }

        auto packed = std::make_unique<Image>(w, h);
        packed->hasOneBitAlpha = strip.hasOneBitAlpha;
        Graphics::cImageCanvas canvas(*packed);
        Graphics::DrawState state;
        // An overwriting copy keeps the glyphs' alpha.
        state.flags = Graphics::DrawFlag_SourceRect;
        for (size_t i = 0; i < d.glyphs.size(); ++i)
        {
            state.sourceRect = {d.glyphs[i].x, d.top, d.glyphs[i].width, d.lineHeight};
            canvas.DrawImage(&strip, float(places[i].x), float(places[i].y), state);
        }
        LogPrintf("Font: %s was %dx%d now %dx%d\n", name.c_str(), strip.GetWidth(), strip.GetHeight(), w, h);

        font.glyphs.fill(GlyphRect());
        for (size_t i = 0; i < d.glyphs.size(); ++i)
        {
            const auto& g = d.glyphs[i];
            font.glyphs[size_t(g.code)] = {places[i].x, places[i].y, g.width, d.lineHeight};
        }
        font.image = std::move(packed);
        return true;
    }
    return false;
}

// A rectangle leaving the image would make the blit read outside its pixels.
GlyphRect ClipToImage(const GlyphRect& r, const Image& image)
{
    const int64_t left = std::max<int64_t>(r.x, 0);
    const int64_t top = std::max<int64_t>(r.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(r.x) + r.width, image.GetWidth());
    const int64_t bottom = std::min<int64_t>(int64_t(r.y) + r.height, image.GetHeight());
    if (right <= left || bottom <= top)
        return GlyphRect();
    return {int(left), int(top), int(right - left), int(bottom - top)};
}

} // namespace

FontDescription ParseFontDescription(const uint8_t* bytes, size_t size)
{
    FontDescription d;
    DescriptionReader in(bytes, size);
    if (!in.ReadInt(d.top) || !in.ReadInt(d.lineHeight) || !in.ReadInt(d.spacing) || !in.ReadInt(d.version) ||
        !in.ReadInt(d.spaceWidth) || !in.ReadInt(d.glyphCount))
        return d;
    if (d.version >= 2)
        d.kerning.assign(256 * 256, 0);

    for (int i = 0; i < d.glyphCount; ++i)
    {
        FontDescription::Entry e;
        uint32_t c = 0;
        if (!in.ReadChar(c))
            return d;
        e.code = int(c & 0xFF);
        // The glyph counts from its character on; what the file lacks stays 0.
        d.glyphs.push_back(e);
        FontDescription::Entry& g = d.glyphs.back();
        if (!in.ReadInt(g.x) || !in.ReadInt(g.width))
            return d;
        if (d.version >= 3 && (!in.ReadInt(g.y) || !in.ReadInt(g.height)))
            return d;
    }
    if (d.version >= 2)
    {
        for (const auto& first : d.glyphs)
            for (const auto& second : d.glyphs)
            {
                int value = 0;
                if (!in.ReadInt(value))
                    return d;
                d.kerning[size_t(first.code) * 256 + size_t(second.code)] = int8_t(value);
            }
    }
    d.complete = true;
    return d;
}

std::unique_ptr<ImageFont> MakeImageFont(const FontDescription& d, std::unique_ptr<Image> image,
                                         const std::wstring& name)
{
    auto font = std::make_unique<ImageFont>();
    font->top = d.top;
    font->lineHeight = d.lineHeight;
    font->spacing = d.spacing;
    font->proportional = d.version > 0;
    font->spaceWidth = d.spaceWidth;
    if (!d.kerning.empty())
    {
        font->kerning = std::make_unique<int8_t[]>(256 * 256);
        std::copy(d.kerning.begin(), d.kerning.end(), font->kerning.get());
    }
    for (const auto& g : d.glyphs)
    {
        const size_t code = size_t(g.code);
        font->advances[code] = g.width;
        font->glyphs[code] = d.version >= 3 ? GlyphRect{g.x, g.y, g.width, g.height}
                                            : GlyphRect{g.x, d.top, g.width, d.lineHeight};
    }
    font->image = std::move(image);
    if (font->image && d.version < 3)
        Repack(*font, d, ToUtf8(name));
    if (font->image)
        for (GlyphRect& rect : font->glyphs)
            rect = ClipToImage(rect, *font->image);
    return font;
}

std::unique_ptr<ImageFont> LoadImageFont(const std::wstring& src, const std::wstring& name,
                                         const ImageFileOpener& opener)
{
    std::shared_ptr<IStream> stream = opener(src, L".txt");
    if (!stream)
        return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t block[4096];
    for (uint32_t n; (n = stream->Read(block, sizeof block)) > 0;)
        bytes.insert(bytes.end(), block, block + n);
    stream.reset();
    const FontDescription description = ParseFontDescription(bytes.data(), bytes.size());

    auto image = std::make_unique<Image>();
    if (!LoadImage(src, *image, opener))
        image.reset();
    return MakeImageFont(description, std::move(image), name);
}

std::unique_ptr<ImageFont> LoadImageFont(const std::wstring& src, const std::wstring& name)
{
    return LoadImageFont(src, name, GetDataFileOpener());
}

} // namespace Kestrin
