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
constexpr int kTutorialCount = int(TutorialId::None);
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
    {Shown::Pointing},                                // BasicsStart
    {Shown::Bubble},                                  // BasicsTrap
    {Shown::BubbleClosing},                           // BasicsCreature
    {Shown::BubbleClosing},                           // BasicsGunk
    {Shown::Centred},                                 // BasicsLoop
    {Shown::Centred},                                 // BasicsClean
    {Shown::Bubble, NodePath::AgendaDayButtonAttach}, // Calendar
    {Shown::Bubble, NodePath::DailyGuestComboAttach}, // Day
    {Shown::Nothing},                                 // Endless
    {Shown::Pointing},                                // BadLoop
    {Shown::Centred},                                 // OneMinute
    {Shown::Centred},                                 // TwoMinute
    {Shown::Centred},                                 // Level3
    {Shown::Pointing},                                // NoTics
    {Shown::Pointing},                                // LoopToTrap
    {Shown::Pointing},                                // TicAngry
    {Shown::Pointing},                                // TicExplode
};

bool IsBasic(TutorialId id)
{
    return id >= TutorialId::BasicsStart && id <= TutorialId::BasicsClean;
}

bool IsOptional(TutorialId id)
{
    return id == TutorialId::BadLoop || id == TutorialId::NoTics || id == TutorialId::LoopToTrap;
}

std::wstring KeyOf(TutorialId id)
{
    return std::wstring(ShowTutorialKeyPrefix) + TutorialNames[size_t(id)];
}

void Store(TutorialId id)
{
    Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    if (!account)
    {
        Kestrin::LogPrintf("No current profile to record tutorial %d in.\n", int(id));
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
        showFlags[TutorialId(id)] = account ? account->GetInt(KeyOf(TutorialId(id)), 1) : 1;
    optionalTutorialsAllowed = true;
}

bool TutorialManager::IsDue(TutorialId id) const
{
    if (IsBasic(id))
        id = TutorialId::BasicsStart;
    if (IsOptional(id) && !optionalTutorialsAllowed)
        return false;
    auto it = showFlags.find(id);
    return it != showFlags.end() && it->second == 1;
}

void TutorialManager::Show(TutorialId id, Vector2f point)
{
    if (!IsDue(id))
        return;
    HideBubble();
    const TutorialForm& form = kForms[size_t(id)];
    switch (form.shown)
    {
    case Shown::Pointing:
    case Shown::Centred:
        Kestrin::PushMode(
            new TutorialPopupMode(point, int(id), {.pointsAtAnchor = form.shown == Shown::Pointing}));
        break;
    case Shown::Bubble:
    case Shown::BubbleClosing:
        ShowBubble(form.parent, point, int(id), form.shown == Shown::BubbleClosing);
        break;
    case Shown::Nothing:
        break;
    }
    if (id == TutorialId::BasicsStart)
        optionalTutorialsAllowed = false;
    else if (id == TutorialId::BasicsGunk)
        optionalTutorialsAllowed = true;
    SetShown(id);
}

void TutorialManager::SetShown(TutorialId id)
{
    if (int(id) < 0 || IsBasic(id) || id >= TutorialId::None)
        return;
    showFlags[id] = 0;
    Store(id);
}

void TutorialManager::Disable()
{
    showFlags[TutorialId::BasicsStart] = 0;
    Store(TutorialId::BasicsStart);
}

void TutorialManager::ShowPopupAndRecord(TutorialId id, Vector2f point, bool pointsAtAnchor)
{
    HideBubble();
    Kestrin::PushMode(new TutorialPopupMode(point, int(id), {.pointsAtAnchor = pointsAtAnchor}));
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
    levels.SetTutorialSwitchOffHook([this](TutorialId tutorial) { showFlags[tutorial] = 0; });
}
