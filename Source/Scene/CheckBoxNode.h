#pragma once
#include "Framework/Names.h"
#include "Scene/ClickableNode.h"

#include <string>

// The two-state toggle of scene layouts: a box with one look per visual state, unchecked in the
// first half of its images and checked in the second, and a label to its right that is clickable
// where it is drawn. A click, or Enter, Space or GamePadA with the focus, toggles it: it plays
// "Checked" or "Unchecked" and broadcasts {handle, "CheckBoxClick"}.
class CheckBoxNode : public ClickableNode
{
public:
    // Plain (up to 10 images): the size of frame 0; three-slice: the width given by the height of
    // frame 0. No images: 0 x 0.
    CheckBoxNode(const Kestrin::ColorF& textColor, Kestrin::NameId name, const Vector2f& position,
                 Kestrin::IImageList* images, float width, const wchar_t* text, Kestrin::Font* font);

    // Stores the label and, with a font, lays its rectangle out beside the box.
    void LayoutLabel(const std::wstring& text);
    void SetText(const std::wstring& text) override { LayoutLabel(text); }
    // Relative to the node's top-left corner; empty until laid out with a font.
    const Rectf& GetLabelRect() const { return m_label; }

    // Flips the state, plays "Checked" or "Unchecked" and broadcasts "CheckBoxClick".
    void Toggle();

    // Set freely by the owner: plays and broadcasts nothing.
    bool checked = false;

    void Draw(const Vector2f& offset) override;
    // The box where it shows, or the label (with a font).
    bool HitTestControl(const Vector2f& point) override;

protected:
    void Act() override { Toggle(); }

private:
    Rectf m_label;
};

class CheckBoxNodeDescriptor : public ClickableNodeDescriptor
{
};

// "checkboxnode": "textResource", "sounds" (none by default), "alphaSensitivity" (25), "font",
// "text", "width" (three-slice form only), "images".
class CheckBoxNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
