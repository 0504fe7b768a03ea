#pragma once
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"

namespace Kestrin
{
class IImageList;
} // namespace Kestrin

// The panel of screens and pop-ups: its rectangle filled with a nine-slice brush of nine images
// (rows top, middle, bottom; the middle row repeats downwards). Only the node's alpha modulates
// it; its colour does not tint it. A missing list, one of fewer than nine images, or an empty box
// draws nothing.
class BackgroundNode : public ControlNode
{
public:
    BackgroundNode(Kestrin::NameId name, Kestrin::IImageList* images, float width, float height);

    Kestrin::IImageList* GetImages() const { return m_images; }
    void SetImages(Kestrin::IImageList* images) { m_images = images; }

    // A panel never reacts to keys, so the focus passes it by.
    bool AcceptsFocus() override { return false; }
    void Draw(const Vector2f& offset) override;

private:
    Kestrin::IImageList* m_images;
};

// "backgroundnode": "height" (0), "width" (0), "images" (an image list, looked up at build time).
class BackgroundNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    float width = 0.0f;
    float height = 0.0f;
};

class BackgroundNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
