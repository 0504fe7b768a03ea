#pragma once
#include "Base/Signal.h"
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"

#include <cstdint>
#include <string>

namespace Kestrin
{
class Font;
class IImageList;
class SoundList;
} // namespace Kestrin

// The push button of scene layouts: one image per visual state (or three per state as a
// three-slice brush), an optional caption centred in the node's colour, the sounds "Hot" and
// "Down", and a click on release over the button that took the press, on Enter, Space or
// GamePadA with the focus, or on its hot key. A click broadcasts {handle, "ButtonClick"}, then fires
// clickSignal.
class ButtonNode : public ControlNode
{
public:
    // Sized by its images (three-slice: the width given, the height of frame 0; plain: frame 0),
    // else by the caption in the font, centred on the position; else 0 x 0.
    ButtonNode(const Kestrin::ColorF& textColor, const wchar_t* text, Kestrin::NameId name,
               const Vector2f& position, Kestrin::IImageList* images, float width, Kestrin::Font* font);

    Kestrin::Signal<ButtonNode*> clickSignal;
    // true when the pointer enters the button, false when it leaves.
    Kestrin::Signal<ButtonNode*, bool> hoverSignal;

    // The caption becomes the string value resource's text (empty when there is none); the size
    // stays.
    void SetTextResource(Kestrin::NameId id);
    void SetText(const std::wstring& text) { m_text = text; }
    const std::wstring& GetText() const { return m_text; }

    // Broadcasts {handle, "ButtonClick"}, then fires clickSignal.
    void Click();
    // 0 normal, 1 hot, 2 down, 3 disabled, 4 focused.
    int GetStateIndex();

    // A virtual-key code; 0 is no hot key.
    void SetKeyCode(uint16_t keyCode) { m_keyCode = keyCode; }
    uint16_t GetKeyCode() const { return m_keyCode; }
    // A point hits only where frame 0 (or the brush) is more opaque than this; 0 turns it off.
    void SetAlphaSensitivity(int sensitivity) { m_alphaSensitivity = sensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }
    // Not owned; null plays nothing.
    void SetSounds(const Kestrin::SoundList* sounds) { m_sounds = sounds; }
    const Kestrin::SoundList* GetSounds() const { return m_sounds; }
    Kestrin::IImageList* GetImages() const { return m_images; }
    bool IsHot() const { return m_hot; }

    void Draw(const Vector2f& offset) override;
    bool IsOpaqueAt(int x, int y) override;

    Kestrin::MessageResult OnKeyDown(int key) override;
    Kestrin::MessageResult OnMouseMove(int x, int y) override;
    // Every mouse button presses the button.
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    Kestrin::MessageResult OnMouseUp(Kestrin::MouseButton button, int x, int y) override;

private:
    uint16_t m_keyCode = 0;
    bool m_hot = false;
    Kestrin::IImageList* m_images;
    std::wstring m_text;
    int m_alphaSensitivity = 25;
    const Kestrin::SoundList* m_sounds = nullptr;
};

class ButtonNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    float width = 0.0f;
    std::wstring text;
    Kestrin::NameId font;
    uint16_t keyCode = 0;
    int alphaSensitivity = 25;
    Kestrin::NameId sounds;
    Kestrin::NameId textResource; // none when 0
};

// "buttonnode": "keyCode" (a key name), "textResource", "sounds" (default "AllUIButtonSounds"),
// "alphaSensitivity" (25), "font", "text", "width" (three-slice form only), "images".
class ButtonNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
