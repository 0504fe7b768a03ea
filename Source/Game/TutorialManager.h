#pragma once
// Decides whether a tutorial hint is still due for the current player, shows it and remembers it.
#include "Game/PlayfieldTypes.h"

class TutorialManager
{
public:
    static TutorialManager& Instance();

    // Shows the tutorial at the point when it is due, then records it as shown.
    void Show(int id, Vector2f point);
    bool IsDue(int id) const;
    // Takes down the open scene bubble, if any.
    void HideBubble();
};
