#pragma once
#include "Graphics/Canvas.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

// A plain shape filling the node's box in the node's colour (alpha multiplied down the tree),
// filled or as an outline. The hit test is the node's rectangle.
class ShapeNode : public SceneNode
{
public:
    ShapeNode(float width, float height, bool filled);

    bool IsFilled() const { return m_filled; }
    void SetFilled(bool filled) { m_filled = filled; }

    void Draw(const Vector2f& offset) override;

protected:
    // Draws the shape into the rectangle (screen pixels) with the state's colour and clip.
    virtual void DrawShape(const Rectf& rect, const Kestrin::Graphics::DrawState& state) = 0;

private:
    bool m_filled;
};

// "rectnode": outlines lie on the box's own pixels, the right and bottom lines at x + w - 1 and
// y + h - 1.
class RectNode : public ShapeNode
{
public:
    RectNode(float width, float height, bool filled) : ShapeNode(width, height, filled) {}

protected:
    void DrawShape(const Rectf& rect, const Kestrin::Graphics::DrawState& state) override;
};

// "ellipsenode": the ellipse inscribed in the box.
class EllipseNode : public ShapeNode
{
public:
    EllipseNode(float width, float height, bool filled) : ShapeNode(width, height, filled) {}

protected:
    void DrawShape(const Rectf& rect, const Kestrin::Graphics::DrawState& state) override;
};

// Both kinds: "filled" (true), "height" (0), "width" (0).
class ShapeNodeDescriptor : public SceneNodeDescriptor
{
public:
    float width = 0.0f;
    float height = 0.0f;
    bool filled = true;
};
using RectNodeDescriptor = ShapeNodeDescriptor;
using EllipseNodeDescriptor = ShapeNodeDescriptor;

template <typename Node> class ShapeNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override
    {
        auto* descriptor = new ShapeNodeDescriptor;
        descriptor->filled = attributes.GetBool(L"filled", true);
        descriptor->height = attributes.GetFloat(L"height", 0.0f);
        descriptor->width = attributes.GetFloat(L"width", 0.0f);
        return descriptor;
    }
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override
    {
        const auto* d = dynamic_cast<const ShapeNodeDescriptor*>(&descriptor);
        return d ? new Node(d->width, d->height, d->filled) : new Node(0.0f, 0.0f, true);
    }
};
using RectNodeFactory = ShapeNodeFactory<RectNode>;
using EllipseNodeFactory = ShapeNodeFactory<EllipseNode>;
