#include "UI/TextEditCore.h"

#include "Framework/Keys.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace Kestrin
{

TextEditCore::TextEditCore(const IImageList* field, IImage* cursor, float width, const Font* font)
    : m_font(font)
{
    auto w = [field](int i) { return field ? float(field->GetWidth(i)) : 0.0f; };
    auto h = [field](int i) { return field ? float(field->GetHeight(i)) : 0.0f; };
    m_textLeft = w(3);
    m_textTop = h(0);
    m_textWidth = width - (w(5) + w(3));
    m_topPiece = h(0);
    m_middleRow = h(3);
    m_bottomPiece = h(6);
    MeasureHeight();
    m_caretX = m_textLeft;

    m_caretImages.AddImage(cursor);
    m_caretImages.AddOwnedImage(new Image(0, 0));
    m_caretAnimation = {&m_caretImages, AnimatedImageList::Loop, 2.0f};
}

void TextEditCore::MeasureHeight()
{
    const float lineHeight = m_font ? float(m_font->GetLineHeight()) : 0.0f;
    if (m_middleRow > 0.0f)
        m_textHeight = std::ceil(lineHeight / m_middleRow) * m_middleRow;
    else
        m_textHeight = std::max(lineHeight, 0.0f); // no middle row to repeat
    m_height = m_topPiece + m_textHeight + m_bottomPiece;
}

void TextEditCore::SetFont(const Font* font)
{
    m_font = font;
    MeasureHeight();
    PlaceCaret();
}

void TextEditCore::SetText(std::wstring text)
{
    if (maxCharacters >= 0 && text.size() > size_t(maxCharacters))
        text.resize(size_t(maxCharacters));
    Store(std::move(text));
}

void TextEditCore::Store(std::wstring text)
{
    m_text = std::move(text);
    m_caret = std::min<unsigned>(m_caret, unsigned(m_text.size()));
    PlaceCaret();
}

void TextEditCore::PlaceCaret()
{
    float x = m_textLeft;
    if (m_font)
        for (unsigned i = 0; i < m_caret; ++i)
            x += float(m_font->GetAdvance(m_text[i], i + 1 < m_text.size() ? m_text[i + 1] : L'\0'));
    m_caretX = x;
    if (m_caretX + m_scroll > m_textLeft + m_textWidth)
        m_scroll = m_textWidth - (m_caretX - m_textLeft);
    else if (m_caretX + m_scroll < m_textLeft)
        m_scroll = m_textLeft - m_caretX;
}

namespace
{
// Whether a key-down types a character. Which character is the layout's business: it comes as
// text; the key codes only tell a typing key from the others.
bool TypesCharacter(int key, uint32_t modifiers)
{
    const KeyTranslation typed = TranslateKey(key, modifiers);
    if (typed.count != 1)
        return false;
    const auto c = static_cast<unsigned char>(typed.character);
    // Ctrl with a letter gives a control code, Backspace and Escape theirs: none is typing.
    if (c < 0x20 || c == 0x7F)
        return false;
    const bool letterOrDigitKey = key >= 0 && key <= 0xFF && (std::isalpha(key) || std::isdigit(key));
    return letterOrDigitKey || key == VK_SPACE || IsPunct8(c);
}
} // namespace

TextEditCore::KeyResult TextEditCore::OnKey(int key, uint32_t modifiers)
{
    if (key == Key_KeyboardMode || key == Key_KeyboardModeLeave || key == VK_RETURN || key == VK_TAB ||
        key == VK_ESCAPE)
        return KeyResult::NotHandled;

    std::wstring text = m_text;
    unsigned caret = m_caret;
    bool typeIt = false;
    switch (key)
    {
    case VK_BACK:
        if (caret > 0)
            text.erase(--caret, 1);
        else
            typeIt = true;
        break;
    case VK_DELETE:
        if (caret < text.size())
            text.erase(caret, 1);
        else
            typeIt = true;
        break;
    case VK_HOME:
        caret = 0;
        break;
    case VK_END:
        caret = unsigned(text.size());
        break;
    case VK_LEFT:
        if (caret > 0)
            --caret;
        else
            typeIt = true;
        break;
    case VK_RIGHT:
        caret = std::min<unsigned>(caret + 1, unsigned(text.size()));
        break;
    default:
        typeIt = true;
        break;
    }
    if (typeIt)
        return TypesCharacter(key, modifiers) ? KeyResult::Typing : KeyResult::NotHandled;
    return Apply(std::move(text), caret);
}

TextEditCore::KeyResult TextEditCore::OnText(wchar_t character)
{
    // Latin-1 is what the fonts index; its control codes have no place in a line of text.
    if (character < 0x20 || (character >= 0x7F && character < 0xA0) || character > 0xFF)
        return KeyResult::NotHandled;
    if (m_font && character != L' ')
    {
        Glyph glyph;
        m_font->GetGlyph(character, glyph);
        if (glyph.width <= 0 || glyph.height <= 0)
            return KeyResult::NotHandled; // it would take room and show nothing
    }
    std::wstring text = m_text;
    text.insert(text.begin() + m_caret, character);
    return Apply(std::move(text), m_caret + 1);
}

TextEditCore::KeyResult TextEditCore::Apply(std::wstring text, unsigned caret)
{
    if (maxCharacters >= 0 && text.size() > size_t(maxCharacters) && text.size() > m_text.size())
        return KeyResult::Refused;
    if (maxStringWidth >= 0)
    {
        const int width = GetTextWidth(text, m_font);
        if (width > maxStringWidth && width > GetTextWidth(m_text, m_font))
            return KeyResult::Refused;
    }
    m_caret = caret;
    // Not cut to the limit: a limit lowered under the text must not eat it on the next key.
    Store(std::move(text));
    return KeyResult::Edited;
}

void TextEditCore::DrawCaret(float x, float y, const Graphics::DrawState& state,
                             Graphics::ICanvas* canvas) const
{
    DrawImageListFrameAtTime(&m_caretAnimation, m_caretClock, x, y, state, canvas);
}

} // namespace Kestrin
