#include "Game/TutorialBubble.h"

#include "Base/Log.h"
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneLayout.h"
#include "Scene/StaticSpriteNode.h"

namespace
{
constexpr float kOffset = 20.0f;
constexpr int kRight = 2;
constexpr int kBottom = 2;
} // namespace

SceneNode* FindTutorialPart(SceneNode* root, NodePath path)
{
    return FindNodeAtPath(root, path, 1);
}

int TutorialCorner(Vector2f point)
{
    return (point.x > ScreenCentre.x ? 2 : 0) + (point.y > ScreenCentre.y ? 1 : 0);
}

SceneNode* BuildTutorialBubble(Kestrin::ObjectDatabase& database, SceneNode* parent, int image)
{
    const SceneLayout* layout = GetSceneLayout(GameNames::TutorialRootLayout.Get()).second;
    if (!layout)
    {
        Kestrin::LogPrintf("Tutorial %d: the scene layout tutorialRootLayout is not loaded.\n", image);
        return nullptr;
    }
    SceneNode* root = layout->Instantiate(database, parent);
    if (SceneNode* attach = FindTutorialPart(root, NodePath::TutorialTextAttach))
    {
        auto* picture = new StaticSpriteNode(GameNames::TutorialImages.Get(), image);
        database.AddObject(picture);
        picture->SetParent(attach);
    }
    return root;
}

void PointTutorialBubble(SceneNode* root, Vector2f point)
{
    SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble);
    if (!bubble)
        return;
    const int corner = TutorialCorner(point);
    const bool right = corner >= 2, below = corner % 2 == 1;
    bubble->SetParentAlignment(0, 0);
    bubble->SetSelfAlignment(right ? kRight : 0, below ? kBottom : 0);
    bubble->SetPosition(point.x + (right ? -kOffset : kOffset), point.y + (below ? -kOffset : kOffset));
    if (SceneNode* arrow = FindTutorialPart(root, NodePath::TutorialArrow))
        if (SceneNode* shown = arrow->FindChild(TutorialArrowNames[size_t(corner)]))
            shown->SetVisible(true);
}

void RemoveTutorialButton(Kestrin::ObjectDatabase& database, SceneNode* root)
{
    SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble);
    SceneNode* button = bubble ? bubble->FindChild(GameNames::TutorialButtonOK.Get()) : nullptr;
    if (!button)
        return;
    database.RemoveObject(button->GetHandle());
}
