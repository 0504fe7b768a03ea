#pragma once
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"
#include "UI/TextEditCore.h"

#include <string>

namespace Kestrin
{
class IImage;
class IImageList;
} // namespace Kestrin

// A one-line text entry field: a nine-slice frame, the text in one font clipped to the text area,
// a caret blinking on the step clock, horizontal scrolling that keeps the caret in view, and
// limits on the length and on the width in pixels. A click takes the keyboard focus; every key
// it handles within the limits broadcasts "TextEditChange" (caret moves too).
class TextEditNode : public ControlNode
{
public:
    // As high as the frame's top and bottom rows around the middle rows that hold a line.
    TextEditNode(const Vector2f& position, Kestrin::IImageList* fieldImages, Kestrin::IImage* cursorImage,
                 float width, Kestrin::Font* font, const Kestrin::ColorF& color);

    // Cut to the length limit; the caret kept within the text and in view.
    void SetText(const std::wstring& text) { m_core.SetText(text); }
    const std::wstring& GetText() const { return m_core.GetText(); }
    // The limits (maxCharacters, maxStringWidth), the caret and the scroll.
    Kestrin::TextEditCore& GetEditor() { return m_core; }
    // The caret, the width limit and the field's height follow the font.
    void SetFont(Kestrin::Font* font) override;

    // Advances the caret's blink.
    void Update(float dt) override;
    void Draw(const Vector2f& offset) override;

    // With the focus only; Enter, Tab, Escape and the keyboard-mode keys are left to others. Keys
    // that type are taken and wait for their character as text.
    Kestrin::MessageResult OnKeyDown(int key) override;
    Kestrin::MessageResult OnText(wchar_t character) override;
    // A press on the field takes the focus; the caret stays where it was.
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;

private:
    Kestrin::IImageList* m_fieldImages;
    Kestrin::TextEditCore m_core;
};

class TextEditNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId fieldImages;
    Kestrin::NameId cursorImage;
    float width = 0.0f;
    Kestrin::NameId font;
    int maxCharacters = -1;
    int maxStringWidth = -1;
};

// "texteditnode": "maxStringWidth" (-1), "maxCharacters" (-1), "font", "fieldImages" (nine frame
// pieces), "cursorImage" (an image), "width" (0).
class TextEditNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
