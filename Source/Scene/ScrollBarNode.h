#pragma once
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"

namespace Kestrin
{
class IImageList;
} // namespace Kestrin

class ButtonNode;

// The vertical scroll bar of scene layouts: a channel drawn as a vertical three-slice brush and two
// arrow buttons, children named "ScrollUp" (at the top) and "ScrollDown" (at the bottom). The arrows
// broadcast "ButtonClick" with their own handles; the bar keeps no value and takes no input of its
// own. The screen scrolls in answer to the arrows.
class ScrollBarNode : public ControlNode
{
public:
    // As wide as channel frame 0. The arrows join the database with the bar: before it when the
    // tree is registered, else when the bar is added.
    ScrollBarNode(const Vector2f& position, Kestrin::IImageList* downArrow, Kestrin::NameId name,
                  Kestrin::IImageList* channel, Kestrin::IImageList* thumb, Kestrin::IImageList* upArrow,
                  float height);

    // Null once removed.
    ButtonNode* GetUpArrow();
    ButtonNode* GetDownArrow();
    // Kept from the layout; no thumb is drawn.
    Kestrin::IImageList* GetThumbImages() const { return m_thumb; }

    // "Add" brings the arrows into the bar's database (a bar added alone, not by RegisterTree).
    void HandleMessage(const Kestrin::Message& message) override;
    void Draw(const Vector2f& offset) override;
    // No key does anything on the bar itself: Tab passes on to its arrows.
    bool AcceptsFocus() override { return false; }

private:
    Kestrin::IImageList* m_channel;
    Kestrin::IImageList* m_thumb;
};

class ScrollBarNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId channelImages;
    Kestrin::NameId thumbImages;
    Kestrin::NameId upArrowImages;
    Kestrin::NameId downArrowImages;
    float height = 0.0f;
};

// "scrollbarnode": "channelImages", "thumbImages", "upArrowImages", "downArrowImages", "height" (0).
class ScrollBarNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
