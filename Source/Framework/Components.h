#pragma once
#include "Base/Geometry.h"
#include "Framework/Message.h"

namespace Kestrin
{

// The faces the object database looks for (once, by dynamic_cast) when an object is added.

class IDrawable
{
public:
    virtual ~IDrawable() = default;
    // Smaller depths draw first; the greatest depth is on top and gets the mouse first.
    virtual float GetDepth() = 0;
    // Draws through the current canvas.
    virtual void Draw() = 0;
};

class DrawableComponent : public IDrawable
{
public:
    float GetDepth() override { return 0.0f; }
    void Draw() override {}
};

class ILocation
{
public:
    virtual ~ILocation() = default;
    virtual Vector2<float> GetLocation() = 0;
    virtual void SetLocation(const Vector2<float>& location) = 0;
};

// Bounds use the same coordinates as the mouse events.
class IBounds : public ILocation
{
public:
    virtual Rect<float> GetBounds() = 0;
    virtual void SetBounds(const Rect<float>& bounds) = 0;
    virtual bool Contains(float x, float y) = 0;
};

// Answers Handled only when the event was consumed; the database then stops offering it.
class IInputHandler
{
public:
    virtual ~IInputHandler() = default;
    virtual MessageResult OnKeyDown(int key) = 0;
    virtual MessageResult OnKeyUp(int key) = 0;
    virtual MessageResult OnMouseMove(int x, int y) = 0;
    virtual MessageResult OnMouseDown(MouseButton button, int x, int y) = 0;
    virtual MessageResult OnMouseUp(MouseButton button, int x, int y) = 0;
    virtual bool AcceptsFocus() = 0;
};

// The stock input handler: handles nothing and accepts the keyboard focus.
class InputHandlerComponent : public IInputHandler
{
public:
    MessageResult OnKeyDown(int) override { return MessageResult::NotHandled; }
    MessageResult OnKeyUp(int) override { return MessageResult::NotHandled; }
    MessageResult OnMouseMove(int, int) override { return MessageResult::NotHandled; }
    MessageResult OnMouseDown(MouseButton, int, int) override { return MessageResult::NotHandled; }
    MessageResult OnMouseUp(MouseButton, int, int) override { return MessageResult::NotHandled; }
    bool AcceptsFocus() override { return true; }
};

class IEnable
{
public:
    virtual ~IEnable() = default;
    virtual bool IsEnabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

class EnableComponent : public IEnable
{
public:
    explicit EnableComponent(bool enabled = true) : m_enabled(enabled) {}
    bool IsEnabled() override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }

private:
    bool m_enabled;
};

class IVisible
{
public:
    virtual ~IVisible() = default;
    virtual bool IsVisible() = 0;
    virtual void SetVisible(bool visible) = 0;
};

class VisibleComponent : public IVisible
{
public:
    explicit VisibleComponent(bool visible = true) : m_visible(visible) {}
    bool IsVisible() override { return m_visible; }
    void SetVisible(bool visible) override { m_visible = visible; }

private:
    bool m_visible;
};

} // namespace Kestrin
