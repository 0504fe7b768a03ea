#pragma once
// Decides whether a tutorial hint is still due for the current player, shows it and remembers it.
#include "Game/PlayfieldTypes.h"

#include <map>

class GameLevels;
class SceneNode;

class TutorialManager
{
public:
    static TutorialManager& Instance();

    // Reads every tutorial's flag from the current account (1, still to show, when absent) and
    // allows the optional ones again.
    void ReadFlags();
    // Shows the tutorial at the point when it is due, then records it as shown.
    void Show(TutorialId id, Vector2f point);
    bool IsDue(TutorialId id) const;
    // Records a tutorial after the basics as shown, in the account too; the basic ones stay due.
    void SetShown(TutorialId id);
    // Switches the basic tutorials off for good.
    void Disable();
    // Pushes the tutorial's pop-up (waiting for OK) and records it as shown.
    void ShowPopupAndRecord(TutorialId id, Vector2f point, bool pointsAtAnchor);
    // Hangs a bubble with picture `image` under the node at the path in the current scene, its
    // arrow at the point; with autoClose it goes after 5 s. Null, with a log line, when the scene
    // has no such node or the layout is not loaded.
    SceneNode* ShowBubble(NodePath parent, Vector2f point, int image, bool autoClose);
    // Takes down the open scene bubble, if any.
    void HideBubble();
    // Keeps the flags in step with the ones the catalogue switches off as the player progresses.
    void FollowCatalogue(GameLevels& levels);

    // Empty until ReadFlags; 1 still to show.
    std::map<TutorialId, int> showFlags;
    bool optionalTutorialsAllowed = true;
};
