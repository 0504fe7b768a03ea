#pragma once
// The yes/no pop-up before quitting the program (from the main menu) or leaving a session for the
// main menu (from the pause menu).
#include "Screens/AbstractSlidingMode.h"
#include "Screens/ScreenConventions.h"

class QuitConfirmMode : public AbstractSlidingMode
{
public:
    struct Options
    {
        // Drops in from above and leaves upward.
        bool slide = false;
        // "Yes" ends the program rather than going back to the main menu.
        bool quitGame = false;
    };
    explicit QuitConfirmMode(Options options);

    void Enter() override;
    void HandleMessage(const Kestrin::Message& message) override;
    // Escape answers "no".
    bool OnKeyDown(int key) override;

    bool GetSlide() const { return m_slide; }
    bool GetQuitGame() const { return m_quitGame; }

private:
    void No();
    void Yes();

    ScreenGroup m_group{L"QuitConfirm"};
    bool m_slide;
    bool m_quitGame;
    // Set by the first answer: a second click before the screen goes would pop or quit twice.
    bool m_answered = false;
};
