#pragma once
// A single-line text field: a nine-slice frame, the text scrolled to keep the caret in view and a
// blinking caret while it has the keyboard focus.
#include "UI/ControlObject.h"
#include "UI/TextEditCore.h"

#include <string>

namespace Kestrin
{

class IImage;
class IImageList;

class TextEditObject : public ControlObject
{
public:
    // As wide as given and as high as its frame around one line of the font.
    TextEditObject(NameId name, float depth, const Vector2<float>& location, IImageList* fieldImages,
                   IImage* cursorImage, float width, Font* font, const ColorF& color);

    // Cut to the character limit when one is set.
    void SetText(const std::wstring& text) { m_core.SetText(text); }
    const std::wstring& GetText() const { return m_core.GetText(); }
    // -1: no limit. Set the character limit before the text it should cut.
    void SetMaxCharacters(int count) { m_core.maxCharacters = count; }
    int GetMaxCharacters() const { return m_core.maxCharacters; }
    void SetMaxStringWidth(int pixels) { m_core.maxStringWidth = pixels; }
    int GetMaxStringWidth() const { return m_core.maxStringWidth; }
    const TextEditCore& GetCore() const { return m_core; }
    // The caret, the width limit and the field's height follow the font.
    void SetFont(Font* font) override;

    void Update(float dt) override;
    void Draw() override;
    // Edits with the keyboard focus; each accepted edit fires "TextEditChange". Keys that type
    // are taken and wait for their character as text.
    MessageResult OnKeyDown(int key) override;
    MessageResult OnText(wchar_t character) override;
    // A click inside takes the keyboard focus; the caret stays where it was.
    MessageResult OnMouseDown(MouseButton button, int x, int y) override;

private:
    IImageList* m_fieldImages;
    TextEditCore m_core;
};

} // namespace Kestrin
