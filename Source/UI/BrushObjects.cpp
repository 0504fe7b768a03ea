#include "UI/BrushObjects.h"

#include "Graphics/ImageList.h"

namespace Kestrin
{

BackgroundObject::BackgroundObject(NameId name, float depth, IImageList* images,
                                   const Vector2<float>& location, float width, float height)
    : ControlObject(name, depth), m_images(images)
{
    SetBounds({location.x, location.y, width, height});
}

void BackgroundObject::Draw()
{
    if (!IsVisible())
        return;
    const Rect<float> b = GetBounds();
    DrawNineSlice(m_images, 0, b.x, b.y, b.w, b.h, Graphics::GetDefaultDrawState(),
                  Graphics::GetCurrentCanvas());
}

NineBrushObject::NineBrushObject(NameId name, IImageList* images, const Vector2<float>& location, float width,
                                 float height, float depth)
    : BrushObject(name, depth, images), BoundsComponent({location.x, location.y, width, height})
{
}

void NineBrushObject::Draw()
{
    if (!IsVisible() || !m_images || GetAlpha() == 0.0f)
        return;
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.imageColor.a = GetAlpha();
    const Rect<float> b = GetBounds();
    DrawNineSlice(m_images, 0, b.x, b.y, b.w, b.h, state, Graphics::GetCurrentCanvas());
}

ThreeBrushObject::ThreeBrushObject(NameId name, IImageList* images, float depth,
                                   const Vector2<float>& location, float width)
    : BrushObject(name, depth, images), BoundsComponent({location.x, location.y, width, 0.0f})
{
}

void ThreeBrushObject::Draw()
{
    if (!IsVisible() || !m_images || GetColor().a == 0.0f)
        return;
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.imageColor = GetColor();
    const Rect<float> b = GetBounds();
    DrawThreeSliceHorizontal(m_images, 0, b.x, b.y, b.w, state, Graphics::GetCurrentCanvas());
}

} // namespace Kestrin
