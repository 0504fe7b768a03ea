#pragma once

namespace Kestrin
{

class Font;

// The faces of objects that show text in a font of their own.
class IFontComponent
{
public:
    virtual ~IFontComponent() = default;
    bool HasFont() { return GetFont() != nullptr; }
    // Null when the object has no font (it then measures and draws no text).
    virtual Font* GetFont() = 0;
    virtual void SetFont(Font* font) = 0;
};

// 0 plain, 1 outline, 2 drop shadow (as the draw state's textMode).
class ITextModeComponent
{
public:
    virtual ~ITextModeComponent() = default;
    virtual int GetTextMode() = 0;
    virtual void SetTextMode(int mode) = 0;
};

// Holds the font (not owned: fonts are resources) and the text mode.
class FontComponent : public IFontComponent, public ITextModeComponent
{
public:
    explicit FontComponent(Font* font = nullptr, int textMode = 0) : m_font(font), m_textMode(textMode) {}
    Font* GetFont() override { return m_font; }
    void SetFont(Font* font) override { m_font = font; }
    int GetTextMode() override { return m_textMode; }
    void SetTextMode(int mode) override { m_textMode = mode; }

private:
    Font* m_font;
    int m_textMode;
};

} // namespace Kestrin
