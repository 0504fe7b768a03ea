#include "Game/TutorialManager.h"

#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GameLevels.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialPopupMode.h"
#include "Platform/Looper.h"
#include "Scene/CurrentScene.h"
#include "Scene/SceneApplicationMode.h"

#include <string>

namespace
{
constexpr int kTutorialCount = 17;
constexpr int kLastBasic = 5;
constexpr float kBubbleTime = 5.0f;

enum class Shown
{
    Pointing,
    Centred,
    Bubble,
    BubbleClosing,
    Nothing
};

struct TutorialForm
{
    Shown shown;
    NodePath parent = NodePath::PopupLayerNode;
};

constexpr TutorialForm kForms[kTutorialCount] = {
    {Shown::Pointing},                                // 0
    {Shown::Bubble},                                  // 1
    {Shown::BubbleClosing},                           // 2
    {Shown::BubbleClosing},                           // 3
    {Shown::Centred},                                 // 4
    {Shown::Centred},                                 // 5
    {Shown::Bubble, NodePath::AgendaDayButtonAttach}, // 6
    {Shown::Bubble, NodePath::DailyGuestComboAttach}, // 7
    {Shown::Nothing},                                 // 8
    {Shown::Pointing},                                // 9
    {Shown::Centred},                                 // 10
    {Shown::Centred},                                 // 11
    {Shown::Centred},                                 // 12
    {Shown::Pointing},                                // 13
    {Shown::Pointing},                                // 14
    {Shown::Pointing},                                // 15
    {Shown::Pointing},                                // 16
};

bool IsOptional(int id)
{
    return id == 9 || id == 13 || id == 14;
}

std::wstring KeyOf(int id)
{
    return std::wstring(ShowTutorialKeyPrefix) + TutorialNames[size_t(id)];
}

void Store(int id)
{
    Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    if (!account)
    {
        Kestrin::LogPrintf("No current profile to record tutorial %d in.\n", id);
        return;
    }
    account->SetInt(KeyOf(id), 0);
}
} // namespace

TutorialManager& TutorialManager::Instance()
{
    static TutorialManager manager;
    return manager;
}

void TutorialManager::ReadFlags()
{
    showFlags.clear();
    Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    for (int id = 0; id < kTutorialCount; ++id)
        showFlags[id] = account ? account->GetInt(KeyOf(id), 1) : 1;
    optionalTutorialsAllowed = true;
}

bool TutorialManager::IsDue(int id) const
{
    if (id >= 0 && id <= kLastBasic)
        id = 0;
    if (IsOptional(id) && !optionalTutorialsAllowed)
        return false;
    auto it = showFlags.find(id);
    return it != showFlags.end() && it->second == 1;
}

void TutorialManager::Show(int id, Vector2f point)
{
    if (!IsDue(id))
        return;
    HideBubble();
    const TutorialForm& form = kForms[id];
    switch (form.shown)
    {
    case Shown::Pointing:
    case Shown::Centred:
        Kestrin::PushMode(
            new TutorialPopupMode(point, id, {.pointsAtAnchor = form.shown == Shown::Pointing}));
        break;
    case Shown::Bubble:
    case Shown::BubbleClosing:
        ShowBubble(form.parent, point, id, form.shown == Shown::BubbleClosing);
        break;
    case Shown::Nothing:
        break;
    }
    if (id == 0)
        optionalTutorialsAllowed = false;
    else if (id == 3)
        optionalTutorialsAllowed = true;
    SetShown(id);
}

void TutorialManager::SetShown(int id)
{
    if (id <= kLastBasic || id >= kTutorialCount)
        return;
    showFlags[id] = 0;
    Store(id);
}

void TutorialManager::Disable()
{
    showFlags[0] = 0;
    Store(0);
}

void TutorialManager::ShowPopupAndRecord(int id, Vector2f point, bool pointsAtAnchor)
{
    HideBubble();
    Kestrin::PushMode(new TutorialPopupMode(point, id, {.pointsAtAnchor = pointsAtAnchor}));
    showFlags[id] = 0;
    Store(id);
}

SceneNode* TutorialManager::ShowBubble(NodePath parentPath, Vector2f point, int image, bool autoClose)
{
    SceneApplicationMode* screen = GetCurrentSceneScreen();
    SceneNode* parent = screen ? FindNodeAtPath(screen->GetRootNode(), parentPath) : nullptr;
    if (!parent)
    {
        Kestrin::LogPrintf("Tutorial %d: the scene has no node %s for its bubble.\n", image,
                           std::string(GetNodePathText(parentPath)).c_str());
        return nullptr;
    }
    SceneNode* root = BuildTutorialBubble(*screen, parent, image);
    if (!root)
        return nullptr;
    if (SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble))
    {
        const SceneNode::Rectf bounds = bubble->GetSubtreeBounds();
        bubble->SetSize(bounds.w, bounds.h);
    }
    PointTutorialBubble(root, point);
    RemoveTutorialButton(*screen, root);
    if (autoClose)
    {
        auto* hide = new Kestrin::FunctionTask<TutorialManager>(
            [this]
            {
                HideBubble();
                return Kestrin::TaskFinished;
            });
        root->AddTask(new Kestrin::SerialTask(new Kestrin::TimedTask(kBubbleTime), hide));
    }
    return root;
}

void TutorialManager::HideBubble()
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (!database)
        return;
    for (Kestrin::NameId name : {GameNames::TutorialRootNode.Get(), GameNames::TutorialButtonOK.Get()})
        if (Kestrin::Object* object = database->FindObject(name))
            database->RemoveObject(object->GetHandle());
}

void TutorialManager::FollowCatalogue(GameLevels& levels)
{
    levels.SetTutorialSwitchOffHook([this](int tutorial) { showFlags[tutorial] = 0; });
}
