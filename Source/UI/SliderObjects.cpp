#include "UI/SliderObjects.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/ImageList.h"
#include "UI/ButtonObjects.h"
#include "UI/ControlLogic.h"
#include "UI/SliderLogic.h"
#include "UI/UINames.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace Kestrin
{

// ---- SliderObject ----

SliderObject::SliderObject(NameId name, float depth, const Vector2<float>& location, float width,
                           IImageList* channel, IImageList* thumb, float initialValue)
    : ControlObject(name, depth), m_channel(channel), m_thumb(thumb)
{
    const float height =
        float(std::max(channel ? channel->GetHeight(0) : 0, thumb ? thumb->GetHeight(0) : 0));
    SetBounds({location.x, location.y, width, height});
    m_thumbX = location.x;
    SetValue(initialValue, false);
}

float SliderObject::ThumbWidth() const
{
    return m_thumb ? float(m_thumb->GetWidth(0)) : 0.0f;
}

float SliderObject::Travel()
{
    return GetSliderTravel(GetBounds().w, ThumbWidth());
}

float SliderObject::GetValue()
{
    return GetSliderValue(m_thumbX - GetBounds().x, Travel());
}

float SliderObject::GetStepSize() const
{
    return GetSliderStepSize(m_steps);
}

void SliderObject::SetValue(float value, bool notify)
{
    const SliderSetting setting = SettleSliderValue(value, GetValue(), m_stepped, m_steps);
    if (notify && setting.snapped)
        PlayControlSound(m_sounds, L"Snap");
    m_thumbX = GetBounds().x + Travel() * setting.value;
    if (notify)
        Fire(Names::SliderValueChange);
}

void SliderObject::Nudge(float delta)
{
    SetValue(std::clamp(GetValue() + delta, 0.0f, 1.0f), true);
}

void SliderObject::SetBounds(const Rect<float>& bounds)
{
    m_thumbX += bounds.x - GetBounds().x;
    ControlObject::SetBounds(bounds);
}

bool SliderObject::IsOpaqueAt(int x, int y)
{
    return IsSliderThumbOpaqueAt(m_thumb, m_alphaSensitivity, x, y, m_thumbX, GetBounds().y);
}

void SliderObject::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_active = false;
}

bool SliderObject::AcceptsFocus()
{
    return SliderAcceptsFocus(m_stepped, m_steps);
}

MessageResult SliderObject::OnKeyDown(int key)
{
    if (!HasKeyboardFocus())
        return MessageResult::NotHandled;
    const SliderKeyOutcome outcome = ApplySliderKey(key, m_active, m_stepped, m_steps);
    if (outcome.nudge != 0.0f)
        Nudge(outcome.nudge);
    return outcome.handled ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult SliderObject::OnMouseDown(MouseButton, int x, int y)
{
    if (PressControl(this, m_hot, Contains(float(x), float(y)), m_sounds))
        m_dragOffset = float(x) - m_thumbX;
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult SliderObject::OnMouseMove(int x, int y)
{
    const bool dragging = HasCapture();
    if (dragging)
    {
        const float travel = Travel();
        SetValue(GetSliderValue(DragSliderThumb(float(x) - GetBounds().x, m_dragOffset, travel), travel),
                 true);
    }
    if (TrackHot(m_hot, Contains(float(x), float(y))) && !dragging)
        PlayControlSound(m_sounds, L"Hot");
    return MessageResult::NotHandled;
}

MessageResult SliderObject::OnMouseUp(MouseButton, int x, int y)
{
    ReleaseControl(this, m_hot, Contains(float(x), float(y)));
    if (m_hot)
        Fire(Names::SliderReleased);
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

void SliderObject::Draw()
{
    if (!IsVisible())
        return;
    const Rect<float> bounds = GetBounds();
    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();
    DrawThreeSliceHorizontal(m_channel, 0, bounds.x, bounds.y, bounds.w, Graphics::GetDefaultDrawState(),
                             canvas);
    const bool focused = HasKeyboardFocus();
    if (focused && !m_active)
    {
        Graphics::DrawState fill = Graphics::GetDefaultDrawState();
        fill.color = ColorF(1.0f, 1.0f, 1.0f, 0.5f);
        Graphics::FillRect(bounds, fill, canvas);
    }
    SliderThumbFacts facts;
    facts.enabled = IsEnabled();
    facts.captured = HasCapture();
    facts.hot = m_hot;
    facts.focused = focused;
    facts.keyboardMode = m_active;
    facts.acceptsFocus = AcceptsFocus();
    facts.thumbCount = GetImageCount(m_thumb);
    DrawImageListFrame(m_thumb, GetSliderThumbFrame(facts), m_thumbX, bounds.y, canvas,
                       Graphics::GetDefaultDrawState());
}

// ---- ScrollBarObject ----

ScrollBarObject::ScrollBarObject(NameId name, float depth, const Vector2<float>& location, float height,
                                 IImageList* channel, IImageList*, IImageList* upArrow, IImageList* downArrow)
    : ControlObject(name, depth), m_channel(channel)
{
    SetBounds({location.x, location.y, float(channel ? channel->GetWidth(0) : 0), height});
    ObjectDatabase* database = GetCurrentObjectDatabase();
    if (!database)
        return;
    const float downY = location.y + height - float(downArrow ? downArrow->GetHeight(0) : 0);
    database->AddObject(new ButtonObject(ArrowName("ScrollUp"), depth + 1.0f, upArrow, L"", nullptr, location,
                                         ColorF::Black(), 0));
    database->AddObject(new ButtonObject(ArrowName("ScrollDown"), depth + 1.0f, downArrow, L"", nullptr,
                                         {location.x, downY}, ColorF::Black(), 0));
}

NameId ScrollBarObject::ArrowName(const char* suffix) const
{
    const NameId name = GetName();
    return MakeName(std::string(name ? name.c_str() : "") + suffix);
}

void ScrollBarObject::SetSounds(const SoundList* sounds)
{
    m_sounds = sounds;
    ObjectDatabase* database = GetCurrentObjectDatabase();
    if (!database)
        return;
    for (const char* suffix : {"ScrollUp", "ScrollDown"})
        if (auto* button = dynamic_cast<ButtonObject*>(database->FindObject(ArrowName(suffix))))
            button->SetSounds(sounds);
}

void ScrollBarObject::Draw()
{
    if (!IsVisible())
        return;
    const Rect<float> bounds = GetBounds();
    DrawThreeSliceVertical(m_channel, 0, bounds.x, bounds.y, bounds.h, Graphics::GetDefaultDrawState(),
                           Graphics::GetCurrentCanvas());
}

} // namespace Kestrin
