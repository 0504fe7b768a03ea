#pragma once
#include "Framework/Components.h"
#include "Graphics/FontComponent.h"
#include "Scene/SceneNode.h"

// The base of the interactive node kinds: enabled (the database gives a disabled node no input),
// with a font and a text mode, and a hit test that the shown pixels may veto.
class ControlNode : public SceneNode, public Kestrin::EnableComponent, public Kestrin::FontComponent
{
public:
    explicit ControlNode(Kestrin::NameId name = Kestrin::NameId());

    // Inside the world rectangle and opaque there (coordinates truncated to whole pixels).
    virtual bool HitTestControl(const Vector2f& point);
    // Whether the control shows something at a screen pixel; true unless a kind says otherwise.
    virtual bool IsOpaqueAt(int x, int y);

    // Broadcasts {handle, event} through the database the node lives in (the current one before it
    // is added).
    void Broadcast(Kestrin::NameId event);

    // Controls take the keyboard focus.
    bool AcceptsFocus() override { return true; }
};
