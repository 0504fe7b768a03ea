#pragma once
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"

namespace Kestrin
{
class IImageList;
class SoundList;
} // namespace Kestrin

// The horizontal value control of scene layouts: a channel drawn as a three-slice brush and a thumb
// sliding along it, from value 0 at the left to 1 at the right. A press anywhere on it grabs the
// thumb where it is; dragging broadcasts "SliderValueChange" on every move and a release over it
// "SliderReleased". With snapping the value keeps to evenly spaced steps and "Snap" plays when the
// thumb jumps to another. In keyboard mode (entered and left by the keyboard-mode keys) Left and
// Right move it.
class SliderNode : public ControlNode
{
public:
    // As high as the taller of channel frame 0 and thumb frame 0; the thumb placed for the value.
    SliderNode(const Vector2f& position, Kestrin::NameId name, Kestrin::IImageList* channel,
               Kestrin::IImageList* thumb, float width, float initialValue);

    // The thumb's place along its travel; 0 when it has none (the thumb as wide as the slider).
    float GetValue();
    // Snaps when stepped, places the thumb (values outside 0..1 are not clamped), and with notify
    // plays "Snap" on a change of step and broadcasts "SliderValueChange".
    void SetValue(float value, bool notify);
    // 1 / (steps - 1) with two or more steps, else 0.
    float GetStepSize() const;
    // The value moved by delta, held within 0..1, with notice.
    void AdjustValue(float delta);

    // Snapping applies only with two or more steps.
    void SetSteps(int steps) { m_steps = steps; }
    int GetSteps() const { return m_steps; }
    void SetSnapping(bool snapping) { m_snapping = snapping; }
    bool IsSnapping() const { return m_snapping; }
    // The thumb's left edge from the node's.
    float GetThumbPosition() const { return m_thumbPosition; }
    bool IsKeyboardMode() const { return m_keyboardMode; }
    bool IsHot() const { return m_hot; }
    // Only the thumb's pixels more opaque than this take the mouse; 0 lets the rectangle decide.
    void SetAlphaSensitivity(int sensitivity) { m_alphaSensitivity = sensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }
    // Not owned; null plays nothing.
    void SetSounds(const Kestrin::SoundList* sounds) { m_sounds = sounds; }
    Kestrin::IImageList* GetThumbImages() const { return m_thumb; }

    // "LostFocus" leaves the keyboard mode; every message then goes on to the node ("Remove").
    void HandleMessage(const Kestrin::Message& message) override;
    void Draw(const Vector2f& offset) override;
    bool IsOpaqueAt(int x, int y) override;

    Kestrin::MessageResult OnKeyDown(int key) override;
    Kestrin::MessageResult OnMouseMove(int x, int y) override;
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    Kestrin::MessageResult OnMouseUp(Kestrin::MouseButton button, int x, int y) override;
    // A stepped slider only with more than one step.
    bool AcceptsFocus() override;

private:
    float ThumbWidth() const;
    float Travel() const;

    Kestrin::IImageList* m_channel;
    float m_thumbPosition = 0.0f;
    Kestrin::IImageList* m_thumb;
    float m_grabOffset = 0.0f;
    bool m_hot = false;
    int m_alphaSensitivity = 25;
    int m_steps = 0;
    bool m_snapping = false;
    bool m_keyboardMode = false;
    const Kestrin::SoundList* m_sounds = nullptr;
};

class SliderNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId channelImages;
    Kestrin::NameId thumbImages;
    float width = 0.0f;
    float initialValue = 0.0f;
    int alphaSensitivity = 25;
    Kestrin::NameId sounds; // silent when 0
};

// "slidernode": "sounds" (none by default), "alphaSensitivity" (25), "initialValue" (0), "width"
// (0), "thumbImages", "channelImages".
class SliderNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
