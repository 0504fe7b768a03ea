#pragma once
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

namespace Kestrin
{
class IImage;
class IImageList;
} // namespace Kestrin

// One still image, the node sized to it, with an optional alpha-sensitive hit test. The image (or
// the list a frame comes from) is borrowed: the resource manager or the list holds it. Without an
// image the node is 0 x 0, draws nothing and is never hit.
class StaticSpriteNode : public SceneNode
{
public:
    // The image resource of that name; none when it is not loaded.
    explicit StaticSpriteNode(Kestrin::NameId imageId = Kestrin::NameId());
    // Frame `index` of the image list resource of that name.
    StaticSpriteNode(Kestrin::NameId imageListId, int index);
    explicit StaticSpriteNode(Kestrin::IImage* image);
    StaticSpriteNode(Kestrin::IImageList* list, int index);

    // Sizes the node to the image (0 x 0 for none).
    void SetImage(Kestrin::IImage* image);
    // Frame `index` of the list; outside the list (or without one) no image. A film strip's frame
    // is shown through the strip.
    void SetImage(Kestrin::IImageList* list, int index);
    // The image shown; null also while a film strip's frame is shown.
    Kestrin::IImage* GetImage() const { return m_image; }
    bool HasImage() const { return m_image || m_list; }

    void SetAlphaSensitivity(int alphaSensitivity) { m_alphaSensitivity = alphaSensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }

    // ---- SceneNode ----
    bool HitTest(const Vector2f& point) override;
    void Draw(const Vector2f& offset) override;

private:
    Kestrin::IImage* m_image = nullptr;
    // A film strip's frame, which has no image of its own.
    Kestrin::IImageList* m_list = nullptr;
    int m_frame = 0;
    int m_alphaSensitivity = 0;
};

// "staticspritenode": "src" (an image resource), "alphaSensitivity" (0).
class StaticSpriteNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId src;
    int alphaSensitivity = 0;
};

class StaticSpriteNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
