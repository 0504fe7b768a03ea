#pragma once
// The base of the game's pop-ups: pushed over another screen, which stays visible beneath, the
// pop-up's whole scene slides in, and slides out again before the pop-up pops itself. While a slide
// runs the pop-up swallows every input, so nothing is clicked halfway.
#include "Base/Geometry.h"
#include "Scene/SceneApplicationMode.h"

#include <string>

class AbstractSlidingMode : public SceneApplicationMode
{
public:
    // How long a slide takes, in seconds.
    static constexpr float kSlideTime = 0.5f;
    // Where the game's pop-ups wait above the window, and where they rest.
    static constexpr Kestrin::Vector2<float> kAbove{0.0f, -400.0f};
    static constexpr Kestrin::Vector2<float> kResting{0.0f, 0.0f};

    bool OnKeyDown(int key) override;
    bool OnKeyUp(int key) override;
    bool OnText(wchar_t character) override;
    bool OnMouseMove(int x, int y) override;
    bool OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    bool OnMouseUp(Kestrin::MouseButton button, int x, int y) override;
    void OnMouseLeave() override;
    bool IsOpaque() override { return false; }

    bool IsSliding() const { return m_sliding; }

protected:
    // Moves the scene's root from `from` to `to` over the slide time and plays the named sound once
    // (an empty name plays none). SlideOut pops the pop-up when the move ends.
    void SlideIn(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
                 const std::string& sound);
    void SlideOut(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
                  const std::string& sound);
    void FinishSlideIn();
    void FinishSlideOut();

    // For a pop-up whose layout did not load: without its buttons the player could not close it, so
    // Escape or a click pops it (once).
    void LetInputClose() { m_inputCloses = true; }

private:
    void Slide(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
               const std::string& sound, void (AbstractSlidingMode::*finish)());
    // Pops a pop-up that cannot be used; true when it did.
    bool CloseBroken();

    bool m_sliding = false;
    bool m_inputCloses = false;
    bool m_closed = false;
};
