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
    // One character the keyboard typed (a Unicode code point), after the system's layout and input
    // methods made it; the key-downs that typed it came before.
    virtual MessageResult OnText(wchar_t character) = 0;
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
    MessageResult OnText(wchar_t) override { return MessageResult::NotHandled; }
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

// Location, colour, alpha and scale faces, which tasks and screens use to move, tint, fade and
// scale objects without knowing their kind.
class LocationComponent : public ILocation
{
public:
    explicit LocationComponent(const Vector2<float>& location = {}) : m_location(location) {}
    Vector2<float> GetLocation() override { return m_location; }
    void SetLocation(const Vector2<float>& location) override { m_location = location; }

private:
    Vector2<float> m_location;
};

class IAlpha
{
public:
    virtual ~IAlpha() = default;
    virtual float GetAlpha() = 0;
    virtual void SetAlpha(float alpha) = 0;
};

class IColor
{
public:
    virtual ~IColor() = default;
    virtual ColorF GetColor() = 0;
    virtual void SetColor(const ColorF& color) = 0;
};

// The colour's alpha is the alpha face's.
class ColorComponent : public IColor, public IAlpha
{
public:
    explicit ColorComponent(const ColorF& color = {1.0f, 1.0f, 1.0f, 1.0f}) : m_color(color) {}
    ColorF GetColor() override { return m_color; }
    void SetColor(const ColorF& color) override { m_color = color; }
    float GetAlpha() override { return m_color.a; }
    void SetAlpha(float alpha) override { m_color.a = alpha; }

private:
    ColorF m_color;
};

class AlphaComponent : public IAlpha
{
public:
    explicit AlphaComponent(float alpha = 1.0f) : m_alpha(alpha) {}
    float GetAlpha() override { return m_alpha; }
    void SetAlpha(float alpha) override { m_alpha = alpha; }

private:
    float m_alpha;
};

class IScale
{
public:
    virtual ~IScale() = default;
    virtual Vector2<float> GetScale() = 0;
    virtual void SetScale(const Vector2<float>& scale) = 0;
};

class ScaleComponent : public IScale
{
public:
    explicit ScaleComponent(const Vector2<float>& scale = {1.0f, 1.0f}) : m_scale(scale) {}
    Vector2<float> GetScale() override { return m_scale; }
    void SetScale(const Vector2<float>& scale) override { m_scale = scale; }

private:
    Vector2<float> m_scale;
};

// A rectangle whose left and top edges are inside and right and bottom edges outside.
class BoundsComponent : public IBounds
{
public:
    explicit BoundsComponent(const Rect<float>& bounds = {}) : m_bounds(bounds) {}
    Vector2<float> GetLocation() override { return {m_bounds.x, m_bounds.y}; }
    // Keeps the size.
    void SetLocation(const Vector2<float>& location) override
    {
        SetBounds({location.x, location.y, m_bounds.w, m_bounds.h});
    }
    Rect<float> GetBounds() override { return m_bounds; }
    void SetBounds(const Rect<float>& bounds) override { m_bounds = bounds; }
    bool Contains(float x, float y) override { return m_bounds.Contains(x, y); }

    // Through SetBounds, the other three values kept.
    void SetWidth(float w) { SetBounds({m_bounds.x, m_bounds.y, w, m_bounds.h}); }
    void SetHeight(float h) { SetBounds({m_bounds.x, m_bounds.y, m_bounds.w, h}); }

private:
    Rect<float> m_bounds;
};

} // namespace Kestrin
