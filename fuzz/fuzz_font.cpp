// Font descriptions of arbitrary bytes, built into fonts over a small glyph image (repacked for
// versions below 3): every glyph rectangle must lie inside the font's image, and drawing every
// character must stay inside the pixels.
#include "Base/Log.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Kestrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = []
    {
        SetLogToStderr(false);
        return true;
    }();
    (void)once;

    const FontDescription d = ParseFontDescription(data, size);
    if (d.glyphs.size() > size_t(d.glyphCount > 0 ? d.glyphCount : 0))
        __builtin_trap();
    if (!d.kerning.empty() && d.kerning.size() != 256 * 256)
        __builtin_trap();
    if (d.version >= 2 && d.complete && d.kerning.empty())
        __builtin_trap();
    for (const auto& g : d.glyphs)
        if (g.code < 0 || g.code > 255)
            __builtin_trap();

    // Atlases grow with the line height; keep each run quick.
    std::unique_ptr<Image> image;
    if (d.lineHeight <= 300 && size > 0)
    {
        const int w = 1 + data[0] % 97, h = 1 + data[size - 1] % 41;
        image = std::make_unique<Image>(w, h);
        for (int i = 0; i < w * h; ++i)
            image->Pixels()[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    }
    auto font = MakeImageFont(d, std::move(image), L"fuzz");
    if (font->image)
    {
        for (const GlyphRect& r : font->glyphs)
        {
            const bool empty = r.width == 0 && r.height == 0 && r.x == 0 && r.y == 0;
            if (!empty && (r.x < 0 || r.y < 0 || r.width <= 0 || r.height <= 0 ||
                           int64_t(r.x) + r.width > font->image->GetWidth() ||
                           int64_t(r.y) + r.height > font->image->GetHeight()))
                __builtin_trap();
        }
    }

    std::wstring all;
    for (int c = 1; c < 256; ++c)
        all += wchar_t(c);
    all += wchar_t(0x2026);
    all += wchar_t(-3);
    (void)GetTextWidth(all, font.get());

    Image target(64, 32);
    Graphics::cImageCanvas canvas(target);
    Graphics::DrawState state;
    state.font = font.get();
    state.textMode = size % 3 == 0 ? 1 : 0;
    Graphics::DrawText(all.c_str(), 3.0f, 2.0f, state, &canvas);
    return 0;
}
