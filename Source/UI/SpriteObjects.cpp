#include "UI/SpriteObjects.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"

namespace Kestrin
{

namespace
{
Rect<int> Whole(const Rect<float>& r)
{
    using Graphics::TruncToInt;
    return {TruncToInt(r.x), TruncToInt(r.y), TruncToInt(r.w), TruncToInt(r.h)};
}
} // namespace

SpriteObject::SpriteObject(NameId name, float depth, const Vector2<float>& location)
    : LocationComponent(location), m_name(name), m_depth(depth)
{
}

ImageSpriteObject::ImageSpriteObject(NameId name, float depth, IImage* image, const Vector2<float>& location)
    : SpriteObject(name, depth, location), m_image(image)
{
}

void ImageSpriteObject::SetImageRect(const Rect<float>& rect)
{
    m_hasImageRect = true;
    m_imageRect = rect;
}

void ImageSpriteObject::SetClipRect(const Rect<float>& rect)
{
    m_hasClipRect = true;
    m_clipRect = rect;
}

void ImageSpriteObject::Draw()
{
    using namespace Graphics;
    if (!IsVisible() || !m_image)
        return;
    DrawState state = GetDefaultDrawState();
    if (m_hasImageRect)
    {
        state.flags |= DrawFlag_SourceRect;
        state.sourceRect = Whole(m_imageRect);
    }
    if (m_hasClipRect)
        state.clipRect = Whole(m_clipRect);
    state.imageColor = GetColor();
    if (GetFlipFlags() & 1)
        state.flags |= DrawFlag_MirrorX;
    if (GetFlipFlags() & 2)
        state.flags |= DrawFlag_MirrorY;
    state.hAlign = GetHAlign();
    state.vAlign = GetVAlign();

    const Vector2<float> at = GetLocation();
    const Vector2<float> scale = GetScale();
    ICanvas* canvas = GetCurrentCanvas();
    if (scale.x == 1.0f && scale.y == 1.0f)
    {
        DrawImage(at.x, at.y, canvas, m_image, state);
        return;
    }
    const float w = m_hasImageRect ? float(state.sourceRect.w) : float(m_image->GetWidth());
    const float h = m_hasImageRect ? float(state.sourceRect.h) : float(m_image->GetHeight());
    DrawImageInRect(canvas,
                    {TruncToInt(at.x), TruncToInt(at.y), TruncToInt(w * scale.x), TruncToInt(h * scale.y)},
                    m_image, state);
}

TextSpriteObject::TextSpriteObject(NameId name, float depth, Font* font, const std::wstring& text,
                                   float wrapWidth, const Vector2<float>& location, const ColorF& color)
    : SpriteObject(name, depth, location), FontComponent(font), m_text(text), m_wrapWidth(wrapWidth)
{
    SetColor(color);
}

void TextSpriteObject::Draw()
{
    using namespace Graphics;
    if (!IsVisible())
        return;
    DrawState state = GetDefaultDrawState();
    state.font = GetFont();
    state.color = GetColor();
    state.color2 = ColorF(0.0f, 0.0f, 0.0f, 0.5f);
    state.textMode = GetTextMode();
    state.hAlign = GetHAlign();
    state.vAlign = GetVAlign();
    const Vector2<float> at = GetLocation();
    if (m_wrapWidth == 0.0f)
        DrawText(m_text.c_str(), at.x, at.y, state, GetCurrentCanvas());
    else
        DrawWrappedText(m_text.c_str(), at.x, at.y, m_wrapWidth, nullptr, state, GetCurrentCanvas());
}

} // namespace Kestrin
