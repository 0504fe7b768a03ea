#pragma once
// The cards over a freshly entered game screen: the appointment's briefing before play, and the
// introduction of a Tic kind a level brings in.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>

// The current level's card: date, description, guest, time limit, expert time and how many kinds
// of MegaTics come. "next" pops it and play begins. On a guest's first appointment still to be
// played, the guest's file opens over it.
class LevelIntroMode : public SceneApplicationMode
{
public:
    void Enter() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool IsOpaque() override { return false; }

    // Read from the level's file: the number of "Type"s in its King zones.
    int GetMegaTicKinds() const { return m_megaTicKinds; }

private:
    void FillGoals(SceneNode* withoutMegaTics, SceneNode* withMegaTics);

    ScreenGroup m_group{L"LevelIntroMode"};
    int m_megaTicKinds = 0;
};

// A Tic kind's picture; for the three basic kinds their movie plays first. The screen stands still
// beneath its button: nothing of it is stepped while it is on top.
class TicIntroMode : public SceneApplicationMode
{
public:
    explicit TicIntroMode(std::string kind);

    void Enter() override;
    void Activate() override;
    void Update(float dt) override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool IsOpaque() override { return false; }

    const std::string& GetKind() const { return m_kind; }
    // The movie played before the kind's picture; null for a kind without one.
    static const char* MovieOf(const std::string& kind);

private:
    ScreenGroup m_group{L"Tic_Intro"};
    std::string m_kind;
    bool m_popped = false;
};
