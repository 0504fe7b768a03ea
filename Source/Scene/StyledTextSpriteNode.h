#pragma once
#include "Graphics/StyledText.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"
#include "Scene/TextSpriteNode.h"

#include <string>
#include <vector>

// A text in the engine's styled-text tags (<style color= bgColor= font= textMode=>, nested), laid
// out into lines that fit the width and sized to the block, drawn justified inside its box. The
// text is parsed and laid out again whenever it or the width changes. A text that is not well
// formed is logged and shown as it stands, in the default style.
class StyledTextSpriteNode : public SceneNode, public TextSpriteComponent
{
public:
    StyledTextSpriteNode(const Kestrin::TextStyle& defaultStyle, const Vector2f& position,
                         const std::wstring& text, float width);

    // The wrap width, not the node's own; 0 or less lays the text out on lines broken only at line
    // feeds.
    using TextSpriteComponent::SetWidth;

    const Kestrin::TextStyle& GetDefaultStyle() const { return m_defaultStyle; }
    const std::vector<Kestrin::StyledTextRun>& GetRuns() const { return m_runs; }
    int GetLayoutWidth() const { return m_layout.width; }
    int GetLayoutHeight() const { return m_layout.height; }

    void Draw(const Vector2f& offset) override;

protected:
    void TextChanged() override { Layout(); }

private:
    void Layout();

    Kestrin::TextStyle m_defaultStyle;
    std::vector<Kestrin::StyledTextRun> m_runs;
    Kestrin::StyledTextLayout m_layout;
};

class StyledTextSpriteNodeDescriptor : public SceneNodeDescriptor
{
public:
    std::wstring text;
    float width = 0.0f;
    // Opaque white text and background, no font, plain.
    Kestrin::TextStyle defaultStyle{{1, 1, 1, 1}, {1, 1, 1, 1}, Kestrin::NameId(), 0};
    int justify = 0;
    Kestrin::NameId textResource; // none when 0
};

// "styledtextspritenode": "font", "color", "bgColor", "textMode" and "textResource" when present,
// then "text", "textJustify", "width".
class StyledTextSpriteNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
