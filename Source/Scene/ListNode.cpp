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

void ListNode::AddItem(const std::wstring& text, uint32_t data)
{
    m_items.push_back({text, data});
}

void ListNode::ClearItems()
{
    m_items.clear();
    m_selected = -1;
    m_first = 0;
}

std::wstring ListNode::GetItemText(int i) const
{
    return i >= 0 && i < GetItemCount() ? m_items[size_t(i)].text : std::wstring();
}

uint32_t ListNode::GetItemData(int i) const
{
    return i >= 0 && i < GetItemCount() ? m_items[size_t(i)].data : 0;
}

void ListNode::SetSelection(int index)
{
    m_selected = index;
    Broadcast(Names::ListSelectionChange);
}

void ListNode::ScrollDownOne()
{
    m_first = std::max(0, std::min(m_first + 1, GetItemCount() - 1));
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
    return GetListRowRect(Geometry(), i, m_first);
}

int ListNode::GetVisibleRowCount()
{
    return GetListVisibleRowCount(Geometry(), m_first, GetItemCount());
}

void ListNode::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_keyboardMode = false;
    SceneNode::HandleMessage(message);
}

MessageResult ListNode::OnMouseDown(MouseButton, int x, int y)
{
    const int row = FindListRowAt(Geometry(), m_first, GetItemCount(), float(x), float(y));
    if (row < 0)
        return MessageResult::NotHandled;
    SetSelection(row);
    return MessageResult::Handled;
}

MessageResult ListNode::OnKeyDown(int key)
{
    if (!HasFocus(this))
        return MessageResult::NotHandled;
    const ListKeyOutcome outcome =
        ApplyListKey(key, m_keyboardMode, m_selected, m_first, GetItemCount(), Geometry());
    m_first = outcome.first;
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
    const DrawState state = NodeImageState(*this);
    DrawNineSlice(m_frame, 0, world.x + offset.x, world.y + offset.y, world.w, world.h, state, canvas);

    const bool focused = HasFocus(this);
    if (focused && !m_keyboardMode)
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
    for (int i = std::max(m_first, 0); i < GetItemCount(); ++i)
    {
        const Rectf row = GetListRowRect(geometry, i, m_first);
        text.color =
            GetListRowColor(i == m_selected, focused, m_keyboardMode, GetWorldColor(), m_selectedTextColor);
        text.color.a = alpha;
        DrawText(Latin1Only(m_items[size_t(i)].text).c_str(), row.x + offset.x, row.y + offset.y, text,
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
