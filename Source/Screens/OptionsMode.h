#pragma once
// The settings pop-up, over the main menu or the pause menu: volume and mute of the music and the
// effects and the custom cursor take effect at once; "ExitCancel" puts them back as they were on
// entering, "ExitOk" keeps them, applies the full-screen box and stores them in the profile.
#include "Platform/Display.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/ScreenConventions.h"

class OptionsMode : public AbstractSlidingMode, public Kestrin::IWindowModeChangeHandler
{
public:
    struct Options
    {
        // Drops in from above and leaves upward; otherwise it appears and pops at once.
        bool slide = false;
    };
    explicit OptionsMode(Options options);
    ~OptionsMode() override;

    void Enter() override;
    // Restores the saved state when cancelled, else applies the window mode and stores the settings
    // in the current profile.
    void Exit() override;
    void HandleMessage(const Kestrin::Message& message) override;
    // Escape cancels.
    bool OnKeyDown(int key) override;

    // The "FullScreen" box follows the window mode changed by other means (Alt+Enter).
    void OnWindowModeChanged() override;

    bool GetSlide() const { return m_slide; }
    bool IsCancelled() const { return m_cancelled; }

private:
    struct AudioState
    {
        bool musicMuted = false;
        bool effectsMuted = false;
        float musicVolume = 1.0f;
        float effectsVolume = 1.0f;
        bool customCursor = true;
    };
    static AudioState ReadAudioState();
    void Close(bool cancelled);
    void Unregister();

    ScreenGroup m_group{L"Options"};
    bool m_slide;
    // A pop-up that leaves the stack in any other way counts as cancelled.
    bool m_cancelled = true;
    // Restored only once taken: a screen whose group failed never read it.
    bool m_saved = false;
    AudioState m_savedState;
    bool m_registered = false;
    bool m_closing = false;
};
