#include "Scene/TextEditNode.h"

#include "Framework/Keys.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

using namespace Kestrin;

TextEditNode::TextEditNode(const Vector2f& position, IImageList* fieldImages, IImage* cursorImage,
                           float width, Font* font, const ColorF& color)
    : m_fieldImages(fieldImages), m_core(fieldImages, cursorImage, width, font)
{
    SetColor(color);
    SetFont(font);
    SetVisible(true);
    SetPosition(position.x, position.y);
    SetSize(width, m_core.GetHeight());
}

void TextEditNode::SetFont(Font* font)
{
    ControlNode::SetFont(font);
    m_core.SetFont(font);
    SetSize(GetLocalState().width, m_core.GetHeight());
}

void TextEditNode::Update(float dt)
{
    ControlNode::Update(dt);
    m_core.Advance(dt);
}

MessageResult TextEditNode::OnKeyDown(int key)
{
    if (!HasFocus(this))
        return MessageResult::NotHandled;
    const TextEditCore::KeyResult result = m_core.OnKey(key, GetKeyModifiers());
    if (result == TextEditCore::KeyResult::Edited)
        Broadcast(Names::TextEditChange);
    return TextEditCore::Answer(result);
}

MessageResult TextEditNode::OnText(wchar_t character)
{
    if (!HasFocus(this))
        return MessageResult::NotHandled;
    const TextEditCore::KeyResult result = m_core.OnText(character);
    if (result == TextEditCore::KeyResult::Edited)
        Broadcast(Names::TextEditChange);
    return TextEditCore::Answer(result);
}

MessageResult TextEditNode::OnMouseDown(MouseButton, int x, int y)
{
    if (!HitTestControl({float(x), float(y)}))
        return MessageResult::NotHandled;
    ObjectDatabase* database = DatabaseOf(this);
    if (database)
        database->SetFocus(this);
    return MessageResult::Handled;
}

void TextEditNode::Draw(const Vector2f& offset)
{
    using namespace Graphics;
    if (!IsWorldVisible())
        return;
    ICanvas* canvas = GetCurrentCanvas();
    const Rectf world = GetWorldRect();
    const float x = world.x + offset.x;
    const float y = world.y + offset.y;
    const DrawState state = DrawNodeNineSlice(*this, m_fieldImages, offset);

    // The text is clipped to the text area (and the node's source rectangle).
    const Rectf area = m_core.GetTextArea();
    DrawState text = state;
    text.font = GetFont();
    text.color = GetWorldColor();
    text.textMode = GetTextMode();
    text.clipRect = IntersectRects(state.clipRect, {TruncToInt(x + area.x), TruncToInt(y + area.y),
                                                    TruncToInt(area.w), TruncToInt(area.h)});
    DrawText(Latin1Only(GetText()).c_str(), x + area.x + m_core.GetScroll(), y + area.y, text, canvas);

    if (!HasFocus(this))
        return;
    DrawState caret = state;
    caret.hAlign = 1;
    m_core.DrawCaret(x + m_core.GetCaretX() + m_core.GetScroll(), y + m_core.GetCaretY(), caret, canvas);
}

SceneNodeDescriptor* TextEditNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new TextEditNodeDescriptor;
    d->maxStringWidth = attributes.GetInt(L"maxStringWidth", -1);
    d->maxCharacters = attributes.GetInt(L"maxCharacters", -1);
    d->font = MakeNameFromWString(attributes.GetString(L"font"));
    d->fieldImages = MakeNameFromWString(attributes.GetString(L"fieldImages"));
    d->cursorImage = MakeNameFromWString(attributes.GetString(L"cursorImage"));
    d->width = attributes.GetFloat(L"width", 0.0f);
    return d;
}

SceneNode* TextEditNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<TextEditNodeDescriptor>(descriptor);
    auto* node = new TextEditNode({0.0f, 0.0f}, GetResource<IImageList>(d.fieldImages).second,
                                  GetImage(d.cursorImage).second, d.width, GetFontById(d.font).second,
                                  ColorF(1.0f, 1.0f, 1.0f, 1.0f));
    node->GetEditor().maxCharacters = d.maxCharacters;
    node->SetText(L"");
    node->GetEditor().maxStringWidth = d.maxStringWidth;
    return node;
}
