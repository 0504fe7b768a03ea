#pragma once
// The base of the engine's widget objects: an object of a screen's database with the faces the
// database looks for (drawable, bounds, input, enable, visible), a text colour and a font.
#include "Framework/Components.h"
#include "Framework/Object.h"
#include "Graphics/Canvas.h"
#include "Graphics/FontComponent.h"

namespace Kestrin
{

class ControlObject : public Object,
                      public DrawableComponent,
                      public BoundsComponent,
                      public ColorComponent,
                      public EnableComponent,
                      public FontComponent,
                      public VisibleComponent,
                      public InputHandlerComponent
{
public:
    // White text, enabled, visible, no font, bounds all 0.
    ControlObject(NameId name, float depth);

    NameId GetName() const override { return m_name; }
    float GetDepth() override { return m_depth; }
    // Whether the control shows something at a screen pixel; the base always does.
    virtual bool IsOpaqueAt(int x, int y);
    // The rectangle (right and bottom edges outside), then IsOpaqueAt of the point truncated
    // toward zero.
    bool Contains(float x, float y) override;

protected:
    // Broadcasts {this control's handle, event} through the current database.
    void Fire(NameId event);
    bool HasKeyboardFocus();
    bool HasCapture() const;
    // Takes the keyboard focus of the control's database.
    void TakeFocus();

private:
    NameId m_name;
    float m_depth;
};

} // namespace Kestrin
