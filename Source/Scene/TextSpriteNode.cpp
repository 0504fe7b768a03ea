#include "Scene/TextSpriteNode.h"

#include "Base/Log.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/TextWrap.h"
#include "Scene/NodeDrawing.h"
#include "UI/UINames.h"

#include <cmath>

using namespace Kestrin;

void TextSpriteComponent::SetTextFromResource(NameId id)
{
    const Internal::ValueWrapper<std::wstring>* value = id ? GetWideStringValueById(id) : nullptr;
    SetText(value ? value->value : std::wstring());
}

float TextSpriteComponent::JustifiedX(float x, float boxWidth)
{
    if (GetJustify() == 1)
        return std::floor(x + boxWidth * 0.5f);
    if (GetJustify() == 2)
        return std::floor(x + boxWidth);
    return x;
}

TextSpriteNode::TextSpriteNode(const Vector2f& position, const std::wstring& text, Font* font, float width,
                               const ColorF& color)
    : FontComponent(font), TextSpriteComponent(text, width)
{
    SetPosition(position.x, position.y);
    SetColor(color);
    UpdateSize();
}

void TextSpriteNode::SetFont(Font* font)
{
    FontComponent::SetFont(font);
    UpdateSize();
}

void TextSpriteNode::UpdateSize()
{
    m_shown = Latin1Only(GetText());
    Font* font = GetFont();
    if (!font || m_shown.empty())
    {
        SetSize(0.0f, 0.0f);
        return;
    }
    // A negative width would put every character on a line of its own: it means one line too.
    const float wrap = TextSpriteComponent::GetWidth();
    if (wrap > 0.0f)
    {
        const Vector2<int> size = MeasureWrappedText(m_shown, font, Graphics::TruncToInt(wrap));
        SetSize(float(size.x), float(size.y));
    }
    else
        SetSize(float(GetTextWidth(m_shown, font)), float(font->GetLineHeight()));
}

void TextSpriteNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    Font* font = GetFont();
    if (!font || m_shown.empty())
        return;
    const Rectf world = GetWorldRect();
    float x = world.x + offset.x;
    const float y = world.y + offset.y;

    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.font = font;
    state.color = GetWorldColor();
    state.hAlign = GetJustify();
    ApplyNodeClip(*this, state);
    x = JustifiedX(x, world.w);

    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();
    const float wrap = TextSpriteComponent::GetWidth();
    if (wrap > 0.0f)
        Graphics::DrawWrappedText(m_shown.c_str(), x, y, wrap, nullptr, state, canvas);
    else
        Graphics::DrawText(m_shown.c_str(), x, y, state, canvas);
}

int ReadJustify(const IAttributeContainer& attributes)
{
    return WordIndex(attributes.GetString(L"textJustify"), HorizontalAlignWords);
}

SceneNodeDescriptor* TextSpriteNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new TextSpriteNodeDescriptor;
    if (attributes.HasAttribute(L"textResource"))
        d->textResource = MakeNameFromWString(attributes.GetString(L"textResource"));
    d->justify = ReadJustify(attributes);
    const std::wstring font = attributes.GetString(L"font");
    d->text = attributes.GetString(L"text");
    d->width = attributes.GetFloat(L"width", 0.0f);
    d->font = MakeNameFromWString(font);
    return d;
}

SceneNode* TextSpriteNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const TextSpriteNodeDescriptor*>(&descriptor);
    if (!d)
        return new TextSpriteNode({0.0f, 0.0f}, std::wstring(), nullptr, 0.0f);
    auto* node =
        new TextSpriteNode({0.0f, 0.0f}, d->text, GetFontById(d->font).second, d->width, ColorF(1, 1, 1, 1));
    node->SetJustify(d->justify);
    if (d->textResource)
        node->SetTextFromResource(d->textResource);
    return node;
}

bool SetNodeText(SceneNode* node, const std::wstring& text)
{
    if (auto* sprite = dynamic_cast<ITextSprite*>(node))
    {
        sprite->SetText(text);
        return true;
    }
    if (!node)
        LogPrintf("SetNodeText: no node\n");
    else
    {
        const NameId name = node->GetNodeName() ? node->GetNodeName() : node->GetName();
        LogPrintf("SetNodeText: node \"%s\" shows no text\n", name ? name.c_str() : "");
    }
    return false;
}
