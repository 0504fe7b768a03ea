#pragma once
// The simplest drawables of a database: an image or a text at a location, with a colour, a depth
// and a visibility, and no input.
#include "Framework/Components.h"
#include "Framework/Object.h"
#include "Graphics/FontComponent.h"

#include <string>

namespace Kestrin
{

class Font;
class IImage;

class SpriteObject : public DrawableObject,
                     public LocationComponent,
                     public ColorComponent,
                     public VisibleComponent
{
public:
    SpriteObject(NameId name, float depth, const Vector2<float>& location);

    NameId GetName() const override { return m_name; }
    float GetDepth() override { return m_depth; }

    // 0 left / top, 1 centre / middle, 2 right / bottom.
    void SetAlignment(int horizontal, int vertical)
    {
        m_hAlign = horizontal;
        m_vAlign = vertical;
    }
    int GetHAlign() const { return m_hAlign; }
    int GetVAlign() const { return m_vAlign; }
    // Bit 0 mirrors left to right, bit 1 top to bottom.
    void SetFlipFlags(int flags) { m_flip = flags; }
    int GetFlipFlags() const { return m_flip; }

private:
    NameId m_name;
    float m_depth;
    int m_hAlign = 0;
    int m_vAlign = 0;
    int m_flip = 0;
};

class ImageSpriteObject : public SpriteObject, public ScaleComponent
{
public:
    ImageSpriteObject(NameId name, float depth, IImage* image, const Vector2<float>& location);

    // Tinted by the colour, anchored by the alignment, mirrored by the flips; at a scale other
    // than (1, 1) stretched into the scaled size from the truncated location.
    void Draw() override;

    IImage* GetImage() const { return m_image; }
    void SetImage(IImage* image) { m_image = image; }
    // Shows only this part of the image.
    void SetImageRect(const Rect<float>& rect);
    // Clips the drawing to this rectangle of the screen.
    void SetClipRect(const Rect<float>& rect);

private:
    IImage* m_image;
    bool m_hasImageRect = false;
    Rect<float> m_imageRect;
    bool m_hasClipRect = false;
    Rect<float> m_clipRect;
};

class TextSpriteObject : public SpriteObject, public FontComponent
{
public:
    // A wrap width of 0 draws one line.
    TextSpriteObject(NameId name, float depth, Font* font, const std::wstring& text, float wrapWidth,
                     const Vector2<float>& location, const ColorF& color);

    // In the colour, with an outline or drop shadow (text mode 1 or 2) in black at half alpha.
    void Draw() override;

    const std::wstring& GetText() const { return m_text; }
    void SetText(const std::wstring& text) { m_text = text; }
    float GetWrapWidth() const { return m_wrapWidth; }

private:
    std::wstring m_text;
    float m_wrapWidth;
};

} // namespace Kestrin
