#pragma once
// The editing core the text edit node and the text edit object share: the frame geometry, the
// text with its caret and horizontal scroll, the length and pixel-width limits, the keys, and the
// blinking caret. Positions are relative to the field's top-left corner.
#include "Base/Geometry.h"
#include "Framework/Message.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"

#include <cstdint>
#include <string>

namespace Kestrin
{

class Font;
class IImage;

class TextEditCore
{
public:
    // The field's frame from its nine pieces (a null list counts as pieces of size 0) and font:
    // the text area starts right of piece 3 and below piece 0, is as wide as the field less pieces
    // 3 and 5, and as high as the smallest whole number of middle rows (piece 3) that holds a line.
    TextEditCore(const IImageList* field, IImage* cursor, float width, const Font* font);
    TextEditCore(const TextEditCore&) = delete;
    TextEditCore& operator=(const TextEditCore&) = delete;

    // Stores the text, cut to maxCharacters when that is set, keeps the caret within it and
    // scrolls it into view.
    void SetText(std::wstring text);
    // The text area's height, the caret and the width limit follow the new font.
    void SetFont(const Font* font);
    const std::wstring& GetText() const { return m_text; }

    enum class KeyResult
    {
        NotHandled,
        // Handled, but the edit was dropped by a limit: nothing changed, nothing to tell.
        Refused,
        // Handled: the text or the caret changed (caret moves count even when it stayed put).
        Edited,
        // Handled, nothing changed: a key that types, whose character comes as text. Taken so
        // that no hot key fires while the player types.
        Typing,
    };
    // One key-down (a virtual-key code; any int is safe) with the modifier keys held
    // (KeyModifier bits). Backspace and Delete erase, Home, End, Left and Right move the caret,
    // Enter, Tab, Escape and the keyboard-mode codes are left to others. A key that types (a
    // letter, digit or space key, or one that gives punctuation; never with Ctrl) is Typing.
    KeyResult OnKey(int key, uint32_t modifiers);
    // One typed character (a Unicode code point) inserted at the caret. Only printable Latin-1
    // characters the font has (or a space) are taken; others are NotHandled.
    KeyResult OnText(wchar_t character);
    // The input road's answer: an edit a limit dropped is handled too.
    static MessageResult Answer(KeyResult result)
    {
        return result == KeyResult::NotHandled ? MessageResult::NotHandled : MessageResult::Handled;
    }

    // Caret blink clock.
    void Advance(float dt) { m_caretClock += dt; }
    // The caret image half a second, nothing half a second; horizontally anchored by the state.
    void DrawCaret(float x, float y, const Graphics::DrawState& state, Graphics::ICanvas* canvas) const;

    float GetHeight() const { return m_height; }
    // The text area.
    Rect<float> GetTextArea() const { return {m_textLeft, m_textTop, m_textWidth, m_textHeight}; }
    unsigned GetCaret() const { return m_caret; }
    // Before scrolling.
    float GetCaretX() const { return m_caretX; }
    float GetCaretY() const { return m_textTop; }
    // 0 or negative: added to the text's and the caret's x.
    float GetScroll() const { return m_scroll; }
    float GetCaretClock() const { return m_caretClock; }

    // -1 (or any negative): no limit. A text already over a limit can still be shortened and its
    // caret moved: only edits that make it longer or wider than it is are refused.
    int maxCharacters = -1;
    int maxStringWidth = -1;

private:
    // The limits, then the edit is stored.
    KeyResult Apply(std::wstring text, unsigned caret);
    // Stores the text as it is, keeps the caret within it and scrolls it into view.
    void Store(std::wstring text);
    void PlaceCaret();
    void MeasureHeight();

    const Font* m_font;
    // Heights of the frame's top piece, middle row and bottom piece.
    float m_topPiece = 0.0f;
    float m_middleRow = 0.0f;
    float m_bottomPiece = 0.0f;
    float m_textLeft = 0.0f;
    float m_textTop = 0.0f;
    float m_textWidth = 0.0f;
    float m_textHeight = 0.0f;
    float m_height = 0.0f;
    ImageList m_caretImages;
    AnimatedImageList m_caretAnimation;
    float m_caretClock = 0.0f;
    float m_caretX = 0.0f;
    float m_scroll = 0.0f;
    unsigned m_caret = 0;
    std::wstring m_text;
};

} // namespace Kestrin
