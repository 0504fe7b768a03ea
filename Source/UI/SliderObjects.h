#pragma once
// The horizontal slider and the vertical scroll bar widgets.
#include "UI/ControlObject.h"

namespace Kestrin
{

class IImageList;
class SoundList;

// A value from 0 to 1 kept as the thumb's place over a horizontal channel, continuous or in
// steps; dragged with the mouse, or nudged with Left and Right in its keyboard mode.
class SliderObject : public ControlObject
{
public:
    // As high as the taller of the channel's and the thumb's first images; the thumb placed for
    // the initial value without notice.
    SliderObject(NameId name, float depth, const Vector2<float>& location, float width, IImageList* channel,
                 IImageList* thumb, float initialValue);

    float GetValue();
    // Snaps a stepped value (playing "Snap", with notice, when the step changes) and places the
    // thumb; with notice, fires "SliderValueChange" even when the value stayed.
    void SetValue(float value, bool notify);
    float GetStepSize() const;
    // The value moved by delta, held within 0..1, with notice.
    void Nudge(float delta);

    void SetSteps(int steps) { m_steps = steps; }
    int GetSteps() const { return m_steps; }
    void SetStepped(bool stepped) { m_stepped = stepped; }
    bool IsStepped() const { return m_stepped; }
    bool IsKeyboardMode() const { return m_active; }
    float GetThumbX() const { return m_thumbX; }
    void SetAlphaSensitivity(int sensitivity) { m_alphaSensitivity = sensitivity; }
    void SetSounds(const SoundList* sounds) { m_sounds = sounds; }

    // The thumb keeps its place on the slider when the slider moves.
    void SetBounds(const Rect<float>& bounds) override;
    // Only the thumb's opaque pixels take the mouse (with a non-zero alpha sensitivity).
    bool IsOpaqueAt(int x, int y) override;
    void HandleMessage(const Message& message) override;
    void Draw() override;
    MessageResult OnKeyDown(int key) override;
    MessageResult OnMouseMove(int x, int y) override;
    MessageResult OnMouseDown(MouseButton button, int x, int y) override;
    MessageResult OnMouseUp(MouseButton button, int x, int y) override;
    bool AcceptsFocus() override;

private:
    float ThumbWidth() const;
    float Travel();

    IImageList* m_channel;
    IImageList* m_thumb;
    float m_thumbX = 0.0f;
    float m_dragOffset = 0.0f;
    bool m_hot = false;
    int m_alphaSensitivity = 25;
    int m_steps = 0;
    bool m_stepped = false;
    bool m_active = false;
    const SoundList* m_sounds = nullptr;
};

// A vertical channel with two arrow buttons, which are objects of their own named after the bar
// (name + "ScrollUp", name + "ScrollDown") and fire "ButtonClick" like any button.
class ScrollBarObject : public ControlObject
{
public:
    // As wide as the channel's first image. Adds the two arrow buttons to the current database at
    // once, one layer above the bar. The thumb images are accepted and not shown.
    ScrollBarObject(NameId name, float depth, const Vector2<float>& location, float height,
                    IImageList* channel, IImageList* thumb, IImageList* upArrow, IImageList* downArrow);

    // Gives the list to both arrow buttons, found by name in the current database.
    void SetSounds(const SoundList* sounds);
    void Draw() override;

private:
    NameId ArrowName(const char* suffix) const;

    IImageList* m_channel;
    const SoundList* m_sounds = nullptr;
};

} // namespace Kestrin
