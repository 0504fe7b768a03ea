#pragma once
#include "Framework/Names.h"
#include "Graphics/FontComponent.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

#include <string>

namespace Kestrin
{
class Font;
}

// The text face both text node kinds carry; screens set their texts through it.
class ITextSprite
{
public:
    virtual ~ITextSprite() = default;
    virtual const std::wstring& GetText() = 0;
    virtual void SetText(const std::wstring& text) = 0;
    // The wrap width; 0 keeps the text on one line.
    virtual void SetWidth(float width) = 0;
    virtual float GetWidth() = 0;
    // 0 left, 1 centre, 2 right within the node's box.
    virtual void SetJustify(int justify) = 0;
    virtual int GetJustify() = 0;
};

// Holds the text, the wrap width and the justification; the nodes re-lay their text on top.
class TextSpriteComponent : public ITextSprite
{
public:
    TextSpriteComponent() = default;
    // Stores both without laying anything out: the node does that once it is whole.
    TextSpriteComponent(const std::wstring& text, float width) : m_text(text), m_width(width) {}

    const std::wstring& GetText() override { return m_text; }
    // Each stores, then lets the node lay its text out again.
    void SetText(const std::wstring& text) override
    {
        m_text = text;
        TextChanged();
    }
    void SetWidth(float width) override
    {
        m_width = width;
        TextChanged();
    }
    float GetWidth() override { return m_width; }
    void SetJustify(int justify) override { m_justify = justify; }
    int GetJustify() override { return m_justify; }

    // The text becomes the string value resource's ("string" element), or empty when there is no
    // such resource. Goes through SetText, so the node lays the text out again.
    void SetTextFromResource(Kestrin::NameId id);

protected:
    // The text or the wrap width changed.
    virtual void TextChanged() {}
    // Where the lines start in a box from x of the width: with the draw state aligned by the
    // justification, each line is centred in, or right-aligned to, the box.
    float JustifiedX(float x, float boxWidth);

private:
    std::wstring m_text;
    float m_width = 0.0f;
    int m_justify = 0;
};

// One text in one image font and the node's colour, on one line or word-wrapped to a width, sized
// to the laid-out text. The text mode is kept but the text is always drawn plain. Characters beyond
// U+00FF (outside the image fonts) are left out of measuring and drawing.
class TextSpriteNode : public SceneNode, public Kestrin::FontComponent, public TextSpriteComponent
{
public:
    TextSpriteNode(const Vector2f& position, const std::wstring& text, Kestrin::Font* font, float width,
                   const Kestrin::ColorF& color = Kestrin::ColorF(1.0f, 1.0f, 1.0f, 1.0f));

    // The font, the text and the wrap width each size the node again; SetJustify only stores (the
    // size does not depend on it). SetWidth is the wrap width: the node's own width follows from the
    // text.
    void SetFont(Kestrin::Font* font) override;
    using TextSpriteComponent::SetWidth;

    // 0 x 0 without a font or text; one line: the text's width x the line height; wrapped: the
    // widest line x the line height times the lines.
    void UpdateSize();

    void Draw(const Vector2f& offset) override;

protected:
    void TextChanged() override { UpdateSize(); }

private:
    std::wstring m_shown;
};

class TextSpriteNodeDescriptor : public SceneNodeDescriptor
{
public:
    std::wstring text;
    Kestrin::NameId font;
    float width = 0.0f;
    int justify = 0;
    Kestrin::NameId textResource; // none when 0
};

// "textspritenode": "textResource", "textJustify", "font", "text", "width".
class TextSpriteNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// Sets the text of a text or styled text node; a null node, or one of another kind, changes nothing
// and is logged. Answers whether the text was set.
bool SetNodeText(SceneNode* node, const std::wstring& text);

// "left" 0, "center" 1, "right" 2; any other word 0.
int ReadJustify(const Kestrin::IAttributeContainer& attributes);
