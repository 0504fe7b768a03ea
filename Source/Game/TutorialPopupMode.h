#pragma once
// A tutorial hint over the game screen: image number tutorialId of "TutorialImages" in a bubble,
// pointing at the anchor or centred on the screen; it closes itself after 4 s or on its OK button.
#include "Game/PlayfieldTypes.h"
#include "Scene/SceneApplicationMode.h"

class TutorialPopupMode : public SceneApplicationMode
{
public:
    struct Options
    {
        // Without an OK button: it goes when its time is up.
        bool closesByItself = false;
        // Beside the anchor with an arrow at it, rather than centred on the screen.
        bool pointsAtAnchor = false;
    };
    TutorialPopupMode(Vector2f anchor, int tutorialId, Options options);
    ~TutorialPopupMode() override;

    void Enter() override;
    void Update(float dt) override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool IsOpaque() override;
    void DrawBackdrop() override;

    int tutorialId;
    Vector2f anchor;
    float displayTime = 4.0f;
    bool closesByItself;
    bool pointsAtAnchor;

private:
    // Asks once: the screen stack applies it on its next pass.
    void Close();

    bool m_closing = false;
};
