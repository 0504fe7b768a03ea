#pragma once
#include "Base/Signal.h"
#include "Scene/ClickableNode.h"
#include "Scene/SceneNodeFactory.h"

#include <cstdint>
#include <string>

// The push button of scene layouts: one image per visual state (or three per state as a
// three-slice brush), an optional caption centred in the node's colour, the sounds "Hot" and
// "Down", and a click on release over the button that took the press, on Enter, Space or
// GamePadA with the focus, or on its hot key. A click broadcasts {handle, "ButtonClick"}, then fires
// clickSignal.
class ButtonNode : public ClickableNode
{
public:
    // Sized by its images (three-slice: the width given, the height of frame 0; plain: frame 0),
    // else by the caption in the font, centred on the position; else 0 x 0.
    ButtonNode(const Kestrin::ColorF& textColor, const wchar_t* text, Kestrin::NameId name,
               const Vector2f& position, Kestrin::IImageList* images, float width, Kestrin::Font* font);

    Kestrin::Signal<ButtonNode*> clickSignal;
    // true when the pointer enters the button, false when it leaves.
    Kestrin::Signal<ButtonNode*, bool> hoverSignal;

    // Broadcasts {handle, "ButtonClick"}, then fires clickSignal.
    void Click();

    // A virtual-key code; 0 is no hot key.
    void SetKeyCode(uint16_t keyCode) { m_keyCode = keyCode; }
    uint16_t GetKeyCode() const { return m_keyCode; }

    void Draw(const Vector2f& offset) override;
    // The hot key clicks without the focus.
    Kestrin::MessageResult OnKeyDown(int key) override;

protected:
    void Act() override { Click(); }
    void OnHoverChanged(bool over) override { hoverSignal(this, over); }

private:
    uint16_t m_keyCode = 0;
};

class ButtonNodeDescriptor : public ClickableNodeDescriptor
{
public:
    uint16_t keyCode = 0;
};

// "buttonnode": "keyCode" (a key name), "textResource", "sounds" (default "AllUIButtonSounds"),
// "alphaSensitivity" (25), "font", "text", "width" (three-slice form only), "images".
class ButtonNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
