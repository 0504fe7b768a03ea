#pragma once
// The pause pop-up over the playing screen. Only the top screen is updated, so the level stands
// still while it is shown; its music keeps playing.
#include "Screens/AbstractSlidingMode.h"
#include "Screens/ScreenConventions.h"

class InGameMenuMode : public AbstractSlidingMode
{
public:
    void Enter() override;
    void HandleMessage(const Kestrin::Message& message) override;

private:
    ScreenGroup m_group{L"InGameMenu"};
    // Set by "ResumeGame": a second click during the slide would queue a second pop.
    bool m_resuming = false;
};
