#include "Scene/StyledTextSpriteNode.h"

#include "Base/Log.h"
#include "Base/Strings.h"
#include "Base/Text.h"
#include "Graphics/Canvas.h"
#include "Scene/NodeDrawing.h"

#include <climits>
#include <exception>

using namespace Kestrin;

StyledTextSpriteNode::StyledTextSpriteNode(const TextStyle& defaultStyle, const Vector2f& position,
                                           const std::wstring& text, float width)
    : TextSpriteComponent(text, width), m_defaultStyle(defaultStyle)
{
    SetPosition(position.x, position.y);
    Layout();
}

void StyledTextSpriteNode::Layout()
{
    m_runs.clear();
    m_layout = StyledTextLayout();
    const std::wstring& text = GetText();
    if (text.empty())
    {
        SetSize(0.0f, 0.0f);
        return;
    }
    try
    {
        ParseStyledText(text, m_runs, m_defaultStyle);
    }
    catch (const std::exception& e)
    {
        // A game text with a stray "<" or "&" must not end the screen: it shows as it is.
        LogPrintf("Styled text \"%s\" is not well formed (%s); shown as plain text\n", ToUtf8(text).c_str(),
                  e.what());
        m_runs.assign(1, StyledTextRun{m_defaultStyle, text});
    }
    for (StyledTextRun& run : m_runs)
        run.text = Latin1Only(run.text);
    const float width = TextSpriteComponent::GetWidth();
    const int limit = width > 0.0f ? Graphics::TruncToInt(width) : INT_MAX;
    LayoutStyledTextLines(m_layout, m_runs, limit, nullptr);
    SetSize(float(m_layout.width), float(m_layout.height));
}

void StyledTextSpriteNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible() || m_layout.lines.empty())
        return;
    const Rectf world = GetWorldRect();
    float x = world.x + offset.x;
    const float y = world.y + offset.y;

    // The runs keep their own colours; the node's alpha scales them.
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    const float alpha = GetWorldColor().a;
    state.color.a = alpha;
    state.color2.a = alpha;
    state.hAlign = GetJustify();
    ApplyNodeClip(*this, state);
    x = JustifiedX(x, world.w);
    DrawStyledText(m_runs, m_layout, x, y, nullptr, state, Graphics::GetCurrentCanvas());
}

SceneNodeDescriptor* StyledTextSpriteNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new StyledTextSpriteNodeDescriptor;
    if (attributes.HasAttribute(L"font"))
        d->defaultStyle.font = MakeNameFromWString(attributes.GetString(L"font"));
    if (attributes.HasAttribute(L"color"))
        d->defaultStyle.color = ParseColorF(attributes.GetString(L"color"), ColorF::Black());
    if (attributes.HasAttribute(L"bgColor"))
        d->defaultStyle.bgColor = ParseColorF(attributes.GetString(L"bgColor"), ColorF::Black());
    if (attributes.HasAttribute(L"textMode"))
    {
        const std::wstring mode = attributes.GetString(L"textMode");
        d->defaultStyle.textMode = mode == L"outline" ? 1 : mode == L"dropShadow" ? 2 : 0;
    }
    if (attributes.HasAttribute(L"textResource"))
        d->textResource = MakeNameFromWString(attributes.GetString(L"textResource"));
    d->text = attributes.GetString(L"text");
    d->justify = ReadJustify(attributes);
    d->width = attributes.GetFloat(L"width", 0.0f);
    return d;
}

SceneNode* StyledTextSpriteNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const StyledTextSpriteNodeDescriptor*>(&descriptor);
    const StyledTextSpriteNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    auto* node = new StyledTextSpriteNode(d->defaultStyle, {0.0f, 0.0f}, d->text, d->width);
    node->SetJustify(d->justify);
    if (d->textResource)
        node->SetTextFromResource(d->textResource);
    return node;
}
