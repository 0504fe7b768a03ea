#pragma once
// A canvas that draws nothing: it folds every drawing call, with all its arguments, into one 64-bit
// signature. Drawing a frame into it first tells whether the frame would come out as the last one
// did, without touching a pixel. It offers exactly the interfaces of the canvas it stands for, so
// callers take the same branches, and reads pixels back from that canvas.
#include "Graphics/Canvas.h"

#include <cstdint>
#include <cstring>

namespace Kestrin::Graphics
{

class SignatureCanvas final : public ICanvas,
                              public IQuadDrawingCanvas,
                              public ILineDrawingCanvas,
                              public ITextDrawingCanvas,
                              public IEllipseDrawingCanvas,
                              public IPixelSettingCanvas,
                              public ISpriteDrawingCanvas
{
public:
    // `model` may be null: then no interface but ICanvas is offered and the bounds are empty.
    explicit SignatureCanvas(ICanvas* model);

    uint64_t Signature() const { return m_hash; }
    // Drawing calls taken so far.
    int Calls() const { return m_calls; }

    // Folds in a fact from outside the drawing calls (a cursor position, a window size).
    void Mix(uint64_t value);
    void MixFloat(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Mix(bits);
    }
    void MixRect(const Rect<float>& rect);
    void MixRect(const Rect<int>& rect);

    void GetName(NameId& name) override;
    const Rect<int>& GetBounds() override;
    bool QueryInterface(NameId name, void** out) override;

    int DrawFilledRect(const Rect<float>& rect, const DrawState& state) override;
    int DrawFilledRect(const Rect<int>& rect, const DrawState& state) override;
    int DrawImage(IImage* image, float x, float y, const DrawState& state) override;
    int DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state) override;
    int DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state) override;
    int DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                            const DrawState& state) override;
    int DrawLine(float x1, float y1, float x2, float y2, const DrawState& state) override;
    int DrawText(const wchar_t* text, Font* font, const Vector2<float>& position,
                 const DrawState& state) override;
    int DrawLineCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawFilledCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawLineEllipse(const Rect<float>& bounds, const DrawState& state) override;
    int DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state) override;
    int SetPixel(float x, float y, uint32_t color) override;
    uint32_t GetPixel(float x, float y) override;
    int DrawSprites(IImage* image, int count, const SpriteRecord* first, int stride,
                    const DrawState& state) override;

private:
    // Starts one call: its kind, then its arguments follow.
    void Call(int kind, const DrawState& state);
    void MixState(const DrawState& state);
    void MixColor(const ColorF& color);
    void MixImage(IImage* image);

    ICanvas* m_model;
    uint64_t m_hash = 0xcbf29ce484222325ull;
    int m_calls = 0;
};

} // namespace Kestrin::Graphics
