#pragma once
// Shared fakes and file builders of the graphics tests.
#include "Base/Stream.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageLoader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace GraphicsTest
{

using Kestrin::ColorF;
using Kestrin::Rect;

// An image whose pixels are given row by row.
inline std::unique_ptr<Kestrin::Image> MakeImage(int w, int h, const std::vector<uint32_t>& pixels,
                                                 bool alpha = true, bool oneBit = false)
{
    auto image = std::make_unique<Kestrin::Image>(w, h);
    for (size_t i = 0; i < pixels.size() && i < size_t(w) * size_t(h); ++i)
        image->Pixels()[i] = pixels[i];
    image->hasAlpha = alpha;
    image->hasOneBitAlpha = oneBit;
    return image;
}

inline std::unique_ptr<Kestrin::Image> FilledImage(int w, int h, uint32_t color, bool alpha = true)
{
    return MakeImage(w, h, std::vector<uint32_t>(size_t(w) * size_t(h), color), alpha);
}

// The pixels of an image as 'x' (changed) and '.' (background), one row per line.
inline std::string Plot(const Kestrin::Image& image, uint32_t background = 0)
{
    std::string out;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        for (int x = 0; x < image.GetWidth(); ++x)
            out += image.GetPixel(x, y) == background ? '.' : 'x';
        out += '\n';
    }
    return out;
}

// A state drawing one colour with the given flags (no blending by default).
inline Kestrin::Graphics::DrawState Solid(uint32_t argb, uint32_t flags = 0)
{
    Kestrin::Graphics::DrawState s;
    s.color = ColorF::FromARGB(argb);
    s.flags = flags;
    return s;
}

// One recorded call of a fake canvas.
struct CanvasCall
{
    std::string what;
    float x = 0, y = 0;
    Kestrin::IImage* image = nullptr;
    std::wstring text;
    Kestrin::Graphics::DrawState state;
    Rect<int> rect;
    Rect<float> rectF;
};

// A canvas that records every call and offers the interfaces it is told to.
class RecordingCanvas : public Kestrin::Graphics::ICanvas,
                        public Kestrin::Graphics::IQuadDrawingCanvas,
                        public Kestrin::Graphics::ILineDrawingCanvas,
                        public Kestrin::Graphics::ITextDrawingCanvas,
                        public Kestrin::Graphics::IEllipseDrawingCanvas
{
    using DrawState = Kestrin::Graphics::DrawState;

public:
    bool offersQuad = true;
    bool offersLine = false;
    bool offersText = false;
    bool offersEllipse = true;
    int answer = 0;
    Rect<int> bounds{0, 0, 100, 50};
    std::vector<CanvasCall> calls;

    void GetName(Kestrin::NameId& name) override { name = Kestrin::MakeName("RecordingCanvas"); }
    const Rect<int>& GetBounds() override { return bounds; }
    bool QueryInterface(Kestrin::NameId name, void** out) override
    {
        using namespace Kestrin::Graphics;
        void* face = nullptr;
        if (name == Kestrin::Names::ICanvas)
            face = static_cast<ICanvas*>(this);
        else if (name == Kestrin::Names::IQuadDrawingCanvas && offersQuad)
            face = static_cast<IQuadDrawingCanvas*>(this);
        else if (name == Kestrin::Names::ILineDrawingCanvas && offersLine)
            face = static_cast<ILineDrawingCanvas*>(this);
        else if (name == Kestrin::Names::ITextDrawingCanvas && offersText)
            face = static_cast<ITextDrawingCanvas*>(this);
        else if (name == Kestrin::Names::IEllipseDrawingCanvas && offersEllipse)
            face = static_cast<IEllipseDrawingCanvas*>(this);
        if (!face)
            return false;
        *out = face;
        return true;
    }

    int DrawFilledRect(const Rect<float>& r, const DrawState& s) override
    {
        return Record({"FillF", 0, 0, {}, {}, s, {}, r});
    }
    int DrawFilledRect(const Rect<int>& r, const DrawState& s) override
    {
        return Record({"Fill", 0, 0, {}, {}, s, r, {}});
    }
    int DrawImage(Kestrin::IImage* image, float x, float y, const DrawState& s) override
    {
        return Record({"Image", x, y, image, {}, s, {}, {}});
    }
    int DrawStretchedImage(Kestrin::IImage* image, const Rect<int>& r, const DrawState& s) override
    {
        return Record({"Stretch", 0, 0, image, {}, s, r, {}});
    }
    int DrawRotatedImage(Kestrin::IImage* image, float x, float y, float angle, const DrawState& s) override
    {
        return Record({"Rotate", x, y, image, {}, s, {}, {angle, 0, 0, 0}});
    }
    int DrawTexturedPolygon(Kestrin::IImage*, int, int, const Kestrin::Graphics::PolygonVertex*,
                            const DrawState&) override
    {
        return Kestrin::Graphics::Draw_Unsupported;
    }
    int DrawLine(float x1, float y1, float x2, float y2, const DrawState& s) override
    {
        return Record({"Line", x1, y1, nullptr, {}, s, {}, {x1, y1, x2, y2}});
    }
    int DrawText(const wchar_t* text, Kestrin::Font*, const Kestrin::Vector2<float>& p,
                 const DrawState& s) override
    {
        return Record({"Text", p.x, p.y, nullptr, text, s, {}, {}});
    }
    int DrawLineCircle(float, float, float, const DrawState&) override { return answer; }
    int DrawFilledCircle(float, float, float, const DrawState&) override { return answer; }
    int DrawLineEllipse(const Rect<float>& r, const DrawState& s) override
    {
        return Record({"Ellipse", 0, 0, {}, {}, s, {}, r});
    }
    int DrawFilledEllipse(const Rect<float>& r, const DrawState& s) override
    {
        return Record({"FilledEllipse", 0, 0, {}, {}, s, {}, r});
    }

private:
    int Record(CanvasCall call)
    {
        calls.push_back(std::move(call));
        return answer;
    }
};

// Where a recorded call put its text.
struct Placed
{
    std::wstring text;
    float x = 0, y = 0;
    bool operator==(const Placed&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Placed& p)
{
    return out << std::string(p.text.begin(), p.text.end()) << "@" << p.x << "," << p.y;
}
inline std::vector<Placed> Placements(const RecordingCanvas& canvas)
{
    std::vector<Placed> out;
    for (const CanvasCall& call : canvas.calls)
        out.push_back({call.text, call.x, call.y});
    return out;
}

// A font of fixed advances: every character advances `advance`, except those given in `widths`;
// glyph of code c sits at (c * 4, 0) in its image, 3 x lineHeight.
class FakeFont : public Kestrin::Font
{
public:
    explicit FakeFont(int advance_ = 1, int lineHeight_ = 20) : advance(advance_), lineHeight(lineHeight_) {}

    void GetGlyph(wchar_t c, Kestrin::Glyph& glyph) const override
    {
        glyph = {};
        if (c >= 256 || c == L' ' || c == L'\n')
            return;
        glyph.image = image;
        glyph.x = int(c) * 4;
        glyph.y = 0;
        glyph.width = 3;
        glyph.height = lineHeight;
    }
    int GetLineHeight() const override { return lineHeight; }
    int GetAdvance(wchar_t c, wchar_t) const override
    {
        auto it = widths.find(c);
        return it != widths.end() ? it->second : advance;
    }

    int advance;
    int lineHeight;
    std::map<wchar_t, int> widths;
    Kestrin::Image* image = nullptr;
};

// A stream over bytes that offers no direct access (as file streams).
class PlainStream : public Kestrin::IStream
{
public:
    explicit PlainStream(std::vector<uint8_t> bytes) : m_inner(L"plain", bytes.data(), uint32_t(bytes.size()))
    {
    }
    std::wstring GetName() const override { return L"plain"; }
    uint32_t GetCapabilities() const override { return CanRead | CanSeek; }
    uint32_t GetSize() override { return m_inner.GetSize(); }
    bool IsEOF() override { return m_inner.IsEOF(); }
    uint32_t Read(void* buffer, uint32_t count) override { return m_inner.Read(buffer, count); }
    uint32_t ReadDirect(const uint8_t*& data, uint32_t) override
    {
        data = nullptr;
        return 0;
    }
    uint32_t Write(const void*, uint32_t) override { return 0; }
    uint32_t Seek(int origin, int32_t offset) override { return m_inner.Seek(origin, offset); }
    uint32_t Tell() override { return m_inner.Tell(); }

private:
    Kestrin::MemoryStream m_inner;
};

inline std::shared_ptr<Kestrin::IStream> StreamOf(const std::vector<uint8_t>& bytes)
{
    return std::make_shared<Kestrin::MemoryStream>(L"test", bytes.data(), uint32_t(bytes.size()));
}

// Files by name + extension, as an image file opener finds them; records what was asked for.
struct Files
{
    std::map<std::wstring, std::vector<uint8_t>> bytes;
    std::vector<std::wstring> opened;
    Kestrin::ImageFileOpener Opener()
    {
        return [this](const std::wstring& name,
                      const std::wstring& extension) -> std::shared_ptr<Kestrin::IStream>
        {
            opened.push_back(name + extension);
            auto it = bytes.find(name + extension);
            return it == bytes.end() ? nullptr : StreamOf(it->second);
        };
    }
    void AddText(const std::wstring& name, const std::string& text)
    {
        bytes[name] = std::vector<uint8_t>(text.begin(), text.end());
    }
};

// ---- GIF files made by the tests ----

// Packs codes LSB first at the widths a decoder reads them: the width grows when the decoder's
// next table entry reaches 2^width (below 12 bits), and resets at a clear code.
std::vector<uint8_t> PackGifCodes(const std::vector<int>& codes, int minimumCodeSize);
// LZW codes for the indices: a clear code first, the end code last. With `deferClear` a full
// table is kept (no clear) and 12-bit codes go on. `codesAfterFull` counts codes sent then.
std::vector<int> LzwCodes(const std::vector<uint8_t>& indices, int minimumCodeSize,
                          int* codesAfterFull = nullptr);

struct GifLayout
{
    bool gif89 = true;
    int screenW = 0, screenH = 0;
    int left = 0, top = 0, width = 0, height = 0;
    // Red, green, blue per entry; its size must be a power of two (2 to 256 entries).
    std::vector<uint8_t> globalTable;
    std::vector<uint8_t> localTable;
    // The size field of the screen descriptor when there is no global table (bits - 1).
    int tableBitsWithoutTable = 1;
    int transparentIndex = -1; // with a graphic control extension when >= 0
    bool controlWithoutTransparency = false;
    int delay = 0;
    bool interlaced = false;
    int minimumCodeSize = 2;
    // Row-major indices of the image (in display order; interlacing is done by the builder).
    std::vector<uint8_t> indices;
    // Codes to send instead of encoding `indices`.
    std::vector<int> rawCodes;
    bool secondImage = false;
};
std::vector<uint8_t> BuildGif(const GifLayout& layout);

// ---- PNG and JPEG files written with the libraries ----

// colorType and bitDepth as libpng names them; samples are row-major, one value per channel
// (16-bit depths take values to 65535). `palette` RGB triples; `trns` the transparency chunk
// (palette alphas, or one grey / RGB key colour).
struct PngLayout
{
    int width = 1, height = 1;
    int colorType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> trnsAlphas;
    std::vector<uint16_t> trnsKey;
};
std::vector<uint8_t> WritePng(const PngLayout& layout);

// Greyscale (components 1) or RGB (3) samples, row-major.
std::vector<uint8_t> WriteJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                               bool progressive, int quality = 95);

} // namespace GraphicsTest
