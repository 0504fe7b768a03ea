#include "Graphics/SignatureCanvas.h"

#include "Graphics/Image.h"

namespace Kestrin::Graphics
{

namespace
{
enum CallKind
{
    Call_FilledRectF = 1,
    Call_FilledRect,
    Call_Image,
    Call_StretchedImage,
    Call_RotatedImage,
    Call_Polygon,
    Call_Line,
    Call_Text,
    Call_LineCircle,
    Call_FilledCircle,
    Call_LineEllipse,
    Call_FilledEllipse,
    Call_SetPixel,
    Call_Sprites,
};
} // namespace

SignatureCanvas::SignatureCanvas(ICanvas* model) : m_model(model) {}

void SignatureCanvas::Mix(uint64_t value)
{
    // A word at a time: xor, multiply by the FNV prime, and shift the high bits back down so that
    // the next word meets all of this one.
    m_hash ^= value;
    m_hash *= 0x100000001b3ull;
    m_hash ^= m_hash >> 29;
}

void SignatureCanvas::MixColor(const ColorF& color)
{
    MixFloat(color.r);
    MixFloat(color.g);
    MixFloat(color.b);
    MixFloat(color.a);
}

void SignatureCanvas::MixRect(const Rect<float>& rect)
{
    MixFloat(rect.x);
    MixFloat(rect.y);
    MixFloat(rect.w);
    MixFloat(rect.h);
}

void SignatureCanvas::MixRect(const Rect<int>& rect)
{
    Mix(uint32_t(rect.x));
    Mix(uint32_t(rect.y));
    Mix(uint32_t(rect.w));
    Mix(uint32_t(rect.h));
}

void SignatureCanvas::MixImage(IImage* image)
{
    // Images are loaded data: the same object with the same size draws the same pixels.
    Mix(reinterpret_cast<uintptr_t>(image));
    if (image)
    {
        Mix(uint32_t(image->GetWidth()));
        Mix(uint32_t(image->GetHeight()));
    }
}

void SignatureCanvas::MixState(const DrawState& state)
{
    Mix(reinterpret_cast<uintptr_t>(state.font));
    MixColor(state.color);
    MixColor(state.color2);
    MixColor(state.imageColor);
    MixRect(state.clipRect);
    MixRect(state.sourceRect);
    Mix(state.flags);
    Mix(uint32_t(state.textMode));
    Mix(uint32_t(state.hAlign));
    Mix(uint32_t(state.vAlign));
}

void SignatureCanvas::Call(int kind, const DrawState& state)
{
    ++m_calls;
    Mix(uint32_t(kind));
    MixState(state);
}

void SignatureCanvas::GetName(NameId& name)
{
    if (m_model)
        m_model->GetName(name);
    else
        name = NameId();
}

const Rect<int>& SignatureCanvas::GetBounds()
{
    static const Rect<int> none{0, 0, 0, 0};
    return m_model ? m_model->GetBounds() : none;
}

bool SignatureCanvas::QueryInterface(NameId name, void** out)
{
    if (name == Names::ICanvas)
    {
        *out = static_cast<ICanvas*>(this);
        return true;
    }
    // Only what the model offers, so a caller that falls back without an interface does so here too.
    void* modelPart = nullptr;
    if (!m_model || !m_model->QueryInterface(name, &modelPart))
        return false;
    return QueryFaces<IQuadDrawingCanvas, ILineDrawingCanvas, ITextDrawingCanvas, IEllipseDrawingCanvas,
                      IPixelSettingCanvas, ISpriteDrawingCanvas>(this, name, out);
}

int SignatureCanvas::DrawFilledRect(const Rect<float>& rect, const DrawState& state)
{
    Call(Call_FilledRectF, state);
    MixRect(rect);
    return Draw_Done;
}

int SignatureCanvas::DrawFilledRect(const Rect<int>& rect, const DrawState& state)
{
    Call(Call_FilledRect, state);
    MixRect(rect);
    return Draw_Done;
}

int SignatureCanvas::DrawImage(IImage* image, float x, float y, const DrawState& state)
{
    Call(Call_Image, state);
    MixImage(image);
    MixFloat(x);
    MixFloat(y);
    return Draw_Done;
}

int SignatureCanvas::DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state)
{
    Call(Call_StretchedImage, state);
    MixImage(image);
    MixRect(destination);
    return Draw_Done;
}

int SignatureCanvas::DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state)
{
    Call(Call_RotatedImage, state);
    MixImage(image);
    MixFloat(x);
    MixFloat(y);
    MixFloat(angle);
    return Draw_Done;
}

int SignatureCanvas::DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                                         const DrawState& state)
{
    Call(Call_Polygon, state);
    MixImage(image);
    Mix(uint32_t(mode));
    Mix(uint32_t(count));
    for (int i = 0; points && i < count; ++i)
    {
        MixFloat(points[i].x);
        MixFloat(points[i].y);
        MixColor(points[i].color);
        MixFloat(points[i].u);
        MixFloat(points[i].v);
    }
    return Draw_Done;
}

int SignatureCanvas::DrawLine(float x1, float y1, float x2, float y2, const DrawState& state)
{
    Call(Call_Line, state);
    MixFloat(x1);
    MixFloat(y1);
    MixFloat(x2);
    MixFloat(y2);
    return Draw_Done;
}

int SignatureCanvas::DrawText(const wchar_t* text, Font* font, const Vector2<float>& position,
                              const DrawState& state)
{
    Call(Call_Text, state);
    Mix(reinterpret_cast<uintptr_t>(font));
    MixFloat(position.x);
    MixFloat(position.y);
    uint32_t length = 0;
    for (const wchar_t* c = text; c && *c; ++c, ++length)
        Mix(uint32_t(*c));
    Mix(length);
    return Draw_Done;
}

int SignatureCanvas::DrawLineCircle(float x, float y, float radius, const DrawState& state)
{
    Call(Call_LineCircle, state);
    MixFloat(x);
    MixFloat(y);
    MixFloat(radius);
    return Draw_Done;
}

int SignatureCanvas::DrawFilledCircle(float x, float y, float radius, const DrawState& state)
{
    Call(Call_FilledCircle, state);
    MixFloat(x);
    MixFloat(y);
    MixFloat(radius);
    return Draw_Done;
}

int SignatureCanvas::DrawLineEllipse(const Rect<float>& bounds, const DrawState& state)
{
    Call(Call_LineEllipse, state);
    MixRect(bounds);
    return Draw_Done;
}

int SignatureCanvas::DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state)
{
    Call(Call_FilledEllipse, state);
    MixRect(bounds);
    return Draw_Done;
}

int SignatureCanvas::SetPixel(float x, float y, uint32_t color)
{
    ++m_calls;
    Mix(Call_SetPixel);
    MixFloat(x);
    MixFloat(y);
    Mix(color);
    return Draw_Done;
}

uint32_t SignatureCanvas::GetPixel(float x, float y)
{
    auto* pixels = QueryCanvas<IPixelSettingCanvas>(m_model);
    return pixels ? pixels->GetPixel(x, y) : 0;
}

int SignatureCanvas::DrawSprites(IImage* image, int count, const SpriteRecord* first, int stride,
                                 const DrawState& state)
{
    Call(Call_Sprites, state);
    MixImage(image);
    Mix(uint32_t(count));
    const auto* bytes = reinterpret_cast<const unsigned char*>(first);
    for (int i = 0; first && i < count; ++i)
    {
        const auto* record = reinterpret_cast<const SpriteRecord*>(bytes + ptrdiff_t(i) * stride);
        MixFloat(record->x);
        MixFloat(record->y);
        MixColor(record->color);
        MixFloat(record->scaleX);
        MixFloat(record->scaleY);
    }
    return Draw_Done;
}

} // namespace Kestrin::Graphics
