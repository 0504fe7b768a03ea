#pragma once
// The tutorial bubble that the pop-up and the in-scene hints share: the layout with a picture, and
// its placement beside the point it shows.
#include "Game/PlayfieldTypes.h"

namespace Kestrin
{
class ObjectDatabase;
}
class SceneNode;

// A part of the bubble ("tutorialRoot/...") from the bubble's root.
SceneNode* FindTutorialPart(SceneNode* root, NodePath path);

// 0 "left_up", 1 "left_down", 2 "right_up", 3 "right_down": the bubble hangs right of and below
// the point unless the point is past the middle of the screen.
int TutorialCorner(Vector2f point);

// Builds "tutorialRootLayout" under the parent with picture `image` of "TutorialImages" under its
// text node; null, with a log line, when the layout is not loaded.
SceneNode* BuildTutorialBubble(Kestrin::ObjectDatabase& database, SceneNode* parent, int image);

// Aligns the bubble by the corner nearest the point, 20 px off it, and shows that corner's arrow.
void PointTutorialBubble(SceneNode* root, Vector2f point);

// Takes the OK button out of the bubble and out of the database, so nothing can click it.
void RemoveTutorialButton(Kestrin::ObjectDatabase& database, SceneNode* root);
