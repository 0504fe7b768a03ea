#include "Scene/ListNode.h"

#include "Base/Strings.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

#include <algorithm>

using namespace Kestrin;

ListNode::ListNode(const ColorF& textColor, const ColorF& selectedTextColor, NameId name,
                   const Vector2f& position, IImageList* frame, float width, float height, Font* font)
    : ControlNode(name), m_frame(frame), m_selectedTextColor(selectedTextColor)
{
    SetColor(textColor);
    SetFont(font);
    SetVisible(true);
    SetPosition(position.x, position.y);
    SetSize(width, height);
}

std::wstring ListNode::GetItemText(int i) const
{
    const ListItem* item = m_rows.Find(i);
    return item ? item->text : std::wstring();
}

uint32_t ListNode::GetItemData(int i) const
{
    const ListItem* item = m_rows.Find(i);
    return item ? item->data : 0;
}

void ListNode::SetSelection(int index)
{
    m_rows.selected = index;
    Broadcast(Names::ListSelectionChange);
}

ListGeometry ListNode::Geometry()
{
    return GetListGeometry(m_frame, GetWorldRect(), GetFont());
}

SceneNode::Rectf ListNode::GetClientRect()
{
    return Geometry().content;
}

SceneNode::Rectf ListNode::GetRowRect(int i)
{
    return GetListRowRect(Geometry(), i, m_rows.first);
}

int ListNode::GetVisibleRowCount()
{
    return GetListVisibleRowCount(Geometry(), m_rows.first, GetItemCount());
}

void ListNode::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_rows.keyboardMode = false;
    SceneNode::HandleMessage(message);
}

MessageResult ListNode::OnMouseDown(MouseButton, int x, int y)
{
    const int row = m_rows.RowAt(Geometry(), float(x), float(y));
    if (row < 0)
        return MessageResult::NotHandled;
    SetSelection(row);
    return MessageResult::Handled;
}

MessageResult ListNode::OnKeyDown(int key)
{
    if (!HasFocus(this))
        return MessageResult::NotHandled;
    const ListKeyOutcome outcome = m_rows.OnKey(key, Geometry());
    if (outcome.select >= 0)
        SetSelection(outcome.select);
    return outcome.handled ? MessageResult::Handled : MessageResult::NotHandled;
}

void ListNode::Draw(const Vector2f& offset)
{
    using namespace Graphics;
    if (!IsWorldVisible())
        return;
    ICanvas* canvas = GetCurrentCanvas();
    const Rectf world = GetWorldRect();
    const float alpha = GetWorldColor().a;
    const DrawState state = DrawNodeNineSlice(*this, m_frame, offset);

    const bool focused = HasFocus(this);
    if (focused && !m_rows.keyboardMode)
    {
        DrawState fill = state;
        fill.color = ColorF(1.0f, 1.0f, 1.0f, ListFocusWashAlpha);
        FillRect({world.x + offset.x, world.y + offset.y, world.w, world.h}, fill, canvas);
    }
    if (!GetFont())
        return;
    const ListGeometry geometry = GetListGeometry(m_frame, world, GetFont());
    DrawState text = state;
    text.font = GetFont();
    text.textMode = GetTextMode();
    for (int i = std::max(m_rows.first, 0); i < GetItemCount(); ++i)
    {
        const Rectf row = GetListRowRect(geometry, i, m_rows.first);
        text.color = GetListRowColor(i == m_rows.selected, focused, m_rows.keyboardMode, GetWorldColor(),
                                     m_selectedTextColor);
        text.color.a = alpha;
        DrawText(Latin1Only(m_rows.items[size_t(i)].text).c_str(), row.x + offset.x, row.y + offset.y, text,
                 canvas);
    }
}

SceneNodeDescriptor* ListNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new ListNodeDescriptor;
    d->images = MakeNameFromWString(attributes.GetString(L"images"));
    d->width = attributes.GetFloat(L"width", 0.0f);
    d->height = attributes.GetFloat(L"height", 0.0f);
    d->font = MakeNameFromWString(attributes.GetString(L"font"));
    d->textColor = ParseColorF(attributes.GetString(L"textColor"), ColorF::Black());
    d->selectedTextColor = ParseColorF(attributes.GetString(L"selectedTextColor"), ColorF::Black());
    return d;
}

SceneNode* ListNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<ListNodeDescriptor>(descriptor);
    return new ListNode(d.textColor, d.selectedTextColor, NameId(), {0.0f, 0.0f},
                        GetResource<IImageList>(d.images).second, d.width, d.height,
                        GetFontById(d.font).second);
}
