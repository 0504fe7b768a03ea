#pragma once
#include "Graphics/Canvas.h"

namespace Kestrin
{
class Image;
}

namespace Kestrin::Graphics
{

// A canvas that draws into an image (not owned); its bounds are the image's size when made.
// Every change to the pixels marks the image changed.
class cImageCanvas : public ICanvas,
                     public IQuadDrawingCanvas,
                     public IPixelSettingCanvas,
                     public IEllipseDrawingCanvas
{
public:
    explicit cImageCanvas(Image& image);

    // ICanvas
    void GetName(NameId& name) override;
    const Rect<int>& GetBounds() override { return m_bounds; }
    bool QueryInterface(NameId name, void** out) override;

    // IQuadDrawingCanvas
    int DrawFilledRect(const Rect<float>& rect, const DrawState& state) override;
    int DrawFilledRect(const Rect<int>& rect, const DrawState& state) override;
    int DrawImage(IImage* image, float x, float y, const DrawState& state) override;
    int DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state) override;
    // Only from the image's rotation cache: -2 without one.
    int DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state) override;
    int DrawTexturedPolygon(IImage*, int, int, const PolygonVertex*, const DrawState&) override
    {
        return Draw_Unsupported;
    }

    // IPixelSettingCanvas
    int SetPixel(float x, float y, uint32_t color) override;
    uint32_t GetPixel(float x, float y) override;

    // IEllipseDrawingCanvas
    int DrawLineCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawFilledCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawLineEllipse(const Rect<float>& bounds, const DrawState& state) override;
    int DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state) override;

private:
    int DrawCircle(float x, float y, float radius, const DrawState& state, bool filled);
    int DrawEllipseShape(const Rect<float>& bounds, const DrawState& state, bool filled);
    int Changed(int result);
    Rect<int> LiveBounds() const;

    Image& m_image;
    Rect<int> m_bounds;
};

} // namespace Kestrin::Graphics
