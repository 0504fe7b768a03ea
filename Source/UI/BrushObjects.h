#pragma once
// Objects that draw a sliced image list over a rectangle: the mouse-swallowing background, and the
// nine- and three-slice brushes, which take no input.
#include "Framework/Components.h"
#include "Framework/Object.h"
#include "UI/ControlObject.h"

namespace Kestrin
{

class IImageList;

// A nine-slice frame that stops every mouse event offered to it, so nothing behind it is clicked
// or becomes hot. It never takes the keyboard focus.
class BackgroundObject : public ControlObject
{
public:
    BackgroundObject(NameId name, float depth, IImageList* images, const Vector2<float>& location,
                     float width, float height);

    void Draw() override;
    MessageResult OnMouseMove(int, int) override { return MessageResult::Handled; }
    MessageResult OnMouseDown(MouseButton, int, int) override { return MessageResult::Handled; }
    MessageResult OnMouseUp(MouseButton, int, int) override { return MessageResult::Handled; }
    bool AcceptsFocus() override { return false; }

private:
    IImageList* m_images;
};

// What both brushes keep: a name, a depth and the image list (not owned).
class BrushObject : public DrawableObject
{
public:
    NameId GetName() const override { return m_name; }
    float GetDepth() override { return m_depth; }

protected:
    BrushObject(NameId name, float depth, IImageList* images) : m_name(name), m_depth(depth), m_images(images)
    {
    }

    NameId m_name;
    float m_depth;
    IImageList* m_images;
};

// A nine-slice brush drawn at its alpha.
class NineBrushObject : public BrushObject,
                        public BoundsComponent,
                        public AlphaComponent,
                        public VisibleComponent
{
public:
    NineBrushObject(NameId name, IImageList* images, const Vector2<float>& location, float width,
                    float height, float depth);

    void Draw() override;
};

// A horizontal three-slice brush drawn in its tint; its rectangle has no height.
class ThreeBrushObject : public BrushObject,
                         public BoundsComponent,
                         public VisibleComponent,
                         public ColorComponent
{
public:
    ThreeBrushObject(NameId name, IImageList* images, float depth, const Vector2<float>& location,
                     float width);

    void Draw() override;
};

} // namespace Kestrin
