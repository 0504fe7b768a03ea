#pragma once
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"
#include "UI/ControlVisuals.h"

#include <string>

namespace Kestrin
{
class Font;
class IImageList;
class SoundList;
} // namespace Kestrin

// What the push button, check box and radio button nodes share: one look per visual state in one of
// the image-list forms, a caption, an alpha-sensitive hit test, the sounds "Hot" and "Down", and the
// press-and-release protocol. A release over the node that took the press acts (while the press's
// capture is still held), and so do Enter, Space and GamePadA with the focus.
class ClickableNode : public ControlNode
{
public:
    ClickableNode(Kestrin::NameId name, const Kestrin::ControlImageForm& form, Kestrin::IImageList* images,
                  std::wstring text);

    // 0 normal, 1 hot, 2 down, 3 disabled, 4 focused.
    virtual int GetStateIndex();

    virtual void SetText(const std::wstring& text) { m_text = text; }
    const std::wstring& GetText() const { return m_text; }
    // The text becomes the string value resource's (empty when there is none).
    void SetTextResource(Kestrin::NameId id);

    // A point hits only where frame 0 (or the brush) is more opaque than this; 0 turns it off.
    void SetAlphaSensitivity(int sensitivity) { m_alphaSensitivity = sensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }
    // Not owned; null plays nothing.
    void SetSounds(const Kestrin::SoundList* sounds) { m_sounds = sounds; }
    const Kestrin::SoundList* GetSounds() const { return m_sounds; }
    Kestrin::IImageList* GetImages() const { return m_images; }
    bool IsHot() const { return m_hot; }

    bool IsOpaqueAt(int x, int y) override;

    Kestrin::MessageResult OnKeyDown(int key) override;
    // Never consumes a move.
    Kestrin::MessageResult OnMouseMove(int x, int y) override;
    // Every mouse button presses it.
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    Kestrin::MessageResult OnMouseUp(Kestrin::MouseButton button, int x, int y) override;

protected:
    // Colours, font and place. Sized by the images in the node's form; without images, a node whose
    // caption sizes it takes the caption's size in the font, centred on the position; else 0 x 0.
    void Place(const Kestrin::ColorF& color, Kestrin::Font* font, const Vector2f& position, float width,
               bool captionSizes);
    // What a click does.
    virtual void Act() = 0;
    // The pointer came over the node (true) or left it (false).
    virtual void OnHoverChanged(bool) {}

    // The state's look at the world position plus the offset, from firstFrame on (the second half of
    // a check box's images when checked), with the world alpha; answers the draw state used.
    Kestrin::Graphics::DrawState DrawLook(const Vector2f& offset, int firstFrame);
    // The text in the node's font and full world colour at (x, y), aligned by hAlign and vAlign.
    void DrawTextAt(const Kestrin::Graphics::DrawState& state, float x, float y, int hAlign, int vAlign);
    // The text centred both ways over the node.
    void DrawCaption(const Kestrin::Graphics::DrawState& state, const Vector2f& offset);

    Kestrin::ControlImageForm m_form;

private:
    Kestrin::IImageList* m_images;
    std::wstring m_text;
    bool m_hot = false;
    int m_alphaSensitivity = 25;
    const Kestrin::SoundList* m_sounds = nullptr;
};

// What the layouts of every clickable kind say alike.
class ClickableNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    float width = 0.0f;
    std::wstring text;
    Kestrin::NameId font;
    int alphaSensitivity = 25;
    Kestrin::NameId sounds;       // silent when 0
    Kestrin::NameId textResource; // none when 0

    // "textResource", "sounds" (defaultSounds when absent), "alphaSensitivity" (25), "font",
    // "text", "width", "images".
    void ReadClickable(const Kestrin::IAttributeContainer& attributes, Kestrin::NameId defaultSounds);
    // The alpha sensitivity, the sound list (a missing one is silent) and the text resource.
    void ApplyTo(ClickableNode& node) const;
};
