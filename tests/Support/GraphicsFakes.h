#pragma once
// Images made by the tests, a canvas that records its calls and a font of set advances.
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace KestrinTest
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

} // namespace KestrinTest
