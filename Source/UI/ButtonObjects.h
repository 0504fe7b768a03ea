#pragma once
// The clickable widget objects: push button, check box and radio button. They share the visual
// state, the image-list forms and the alpha-sensitive hit test (UI/ControlVisuals.h), the keys that
// click them and the press-and-release protocol (UI/ControlLogic.h); each has its own action.
#include "UI/ControlLogic.h"
#include "UI/ControlObject.h"

#include <string>

namespace Kestrin
{

class IImageList;
class SoundList;

class ClickableObject : public ControlObject
{
public:
    ClickableObject(NameId name, float depth, const ControlImageForm& form, IImageList* images,
                    std::wstring text);

    // The visual state index (ControlState).
    virtual int GetStateIndex();
    bool IsOpaqueAt(int x, int y) override;

    // Enter, Space or GamePadA with the keyboard focus act.
    MessageResult OnKeyDown(int key) override;
    MessageResult OnMouseMove(int x, int y) override;
    MessageResult OnMouseDown(MouseButton button, int x, int y) override;
    MessageResult OnMouseUp(MouseButton button, int x, int y) override;

    IImageList* GetImages() const { return m_images; }
    const std::wstring& GetText() const { return m_text; }
    bool IsHot() const { return m_hot; }
    // 0 lets the rectangle alone decide; 25 at construction.
    void SetAlphaSensitivity(int sensitivity) { m_alphaSensitivity = sensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }
    // Not owned; null is silent.
    void SetSounds(const SoundList* sounds) { m_sounds = sounds; }
    const SoundList* GetSounds() const { return m_sounds; }

protected:
    // What a click does.
    virtual void Act() = 0;
    // The state's images at the location, from firstFrame on (a checked check box's second half).
    void DrawImages(int firstFrame);
    // Centred both ways over the control.
    void DrawCaption();
    void DrawLabelAt(float x, float y, int vAlign);
    void SetText(std::wstring text) { m_text = std::move(text); }

    ControlImageForm m_form;

private:
    IImageList* m_images;
    std::wstring m_text;
    bool m_hot = false;
    int m_alphaSensitivity = 25;
    const SoundList* m_sounds = nullptr;
};

// A push button: fires "ButtonClick". Its hot key clicks it without the focus.
class ButtonObject : public ClickableObject
{
public:
    // Sized by its images; a button with no images takes its caption's size and is centred on the
    // location.
    ButtonObject(NameId name, float depth, IImageList* images, const std::wstring& text, Font* font,
                 const Vector2<float>& location, const ColorF& textColor, float width);

    void Draw() override;
    MessageResult OnKeyDown(int key) override;
    void FireClick();

    // -1: no hot key.
    void SetKeyCode(int key) { m_keyCode = key; }
    int GetKeyCode() const { return m_keyCode; }

protected:
    void Act() override { FireClick(); }

private:
    int m_keyCode = -1;
};

// A two-state toggle with a label to its right; a click on the label toggles too.
class CheckBoxObject : public ClickableObject
{
public:
    CheckBoxObject(NameId name, float depth, const Vector2<float>& location, IImageList* images, float width,
                   const std::wstring& label, Font* font, const ColorF& color);

    // The box, then the label (with a font).
    bool Contains(float x, float y) override;
    // Moves the label with the box.
    void SetBounds(const Rect<float>& bounds) override;
    void Draw() override;

    // Flips the state, plays "Checked" or "Unchecked" and fires "CheckBoxClick".
    void Toggle();
    // Lays the label out beside the box (with a font; else the label keeps its rectangle).
    void SetText(const std::wstring& text);
    const Rect<float>& GetLabelRect() const { return m_label; }

    // Set by the owner freely: plays and fires nothing.
    bool checked = false;

protected:
    void Act() override { Toggle(); }

private:
    Rect<float> m_label;
};

// One of a group: selecting it clears the others of its group in the current database.
class RadioButtonObject : public ClickableObject
{
public:
    RadioButtonObject(NameId name, float depth, const Vector2<float>& location, IImageList* images,
                      float width, NameId group, const std::wstring& label, Font* font, const ColorF& color);

    NameId GetRole() const override;
    virtual NameId GetGroup() const { return m_group; }
    int GetStateIndex() override;
    void Draw() override;

    // Selects it, clears every other radio button object of its group in the current database and
    // fires "RadioButtonClick", also when it was selected already.
    void Select();

    // Set by the owner freely: clears and fires nothing.
    bool selected = false;

protected:
    void Act() override { Select(); }

private:
    NameId m_group;
};

} // namespace Kestrin
