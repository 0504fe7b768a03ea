#include "Screens/GameMode.h"

#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GameConstants.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/Line.h"
#include "Game/MusicManager.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialManager.h"
#include "Platform/Looper.h"
#include "Scene/SceneLayout.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/InGameMenuMode.h"
#include "Screens/LevelIntroModes.h"

namespace
{
constinit Kestrin::ConstantName kPauseButton{"button_pause"};
} // namespace

GameMode::GameMode() = default;

GameMode::~GameMode()
{
    // The tree tells the components still in it that it is gone; the database deletes them later.
    SetCollisionTree(this, nullptr);
    quadTree.reset();
}

void GameMode::Enter()
{
    CreateRootNode();
    Line::debugDraw = debugDraw;
    // All three in both modes: the level's art is spread over them.
    for (ScreenGroup* group : {&m_game, &m_normal, &m_endless})
        if (!group->Load())
            return;

    quadTree = std::make_unique<CollisionQuadTree>(kTreeSize);
    SetCollisionTree(this, quadTree.get());
    m_game.Instantiate(*this, GetScreenLayoutRow(ScreenLayout::GameRoot).layout);

    GameLevels& levels = GameLevels::Instance();
    SceneNode* attach = FindScreenNode(GetRootNode(), ScreenNode::HudAttach);
    const char* hud =
        GetScreenLayoutRow(levels.endless ? ScreenLayout::EndlessHud : ScreenLayout::Hud).layout;
    ScreenGroup& hudGroup = levels.endless ? m_endless : m_normal;
    const SceneLayout* layout = GetSceneLayout(hud).second;
    if (!attach || !layout)
        hudGroup.ShowError(L"scene layout " + Kestrin::FromUtf8(hud) + L" or its place " +
                           Kestrin::FromUtf8(std::string(GetScreenNodeRow(ScreenNode::HudAttach).path)) +
                           L" not found");
    else
        layout->Instantiate(*this, attach);

    if (!levels.endless)
    {
        const LevelRecord* record = levels.GetCurrent();
        const std::string name = LevelCatalogue::GetCurrentLevelName(levels);
        if (SceneNode* date = FindScreenNode(attach, ScreenNode::HudLevel))
            SetNodeText(date, GetDateAndTimeText(name));
        if (SceneNode* guest = FindScreenNode(attach, ScreenNode::HudGuestName))
            SetNodeText(guest, GetGuestFullName(record ? record->guest : GuestID::None));
        const std::wstring unlock = LevelCatalogue::GetCurrentLevelUnlock(levels);
        if (!unlock.empty())
        {
            const Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
            pendingTicIntro = !account || account->GetInt(TictionaryKeyPrefix + unlock, 0) != 1;
        }
    }

    TutorialManager::Instance().ReadFlags();
    level = new NimbalLevel;
    AddObject(level);
}

void GameMode::Exit()
{
    Line::debugDraw = false;
    if (level && GameLevels::Instance().endless)
        GameLevels::Instance().SubmitEndlessScore(int(level->timeElapsed));
}

void GameMode::Activate()
{
    Line::debugDraw = debugDraw;
    if (pendingTicIntro)
    {
        pendingTicIntro = false;
        Kestrin::PushMode(new TicIntroMode(Kestrin::ToUtf8(LevelCatalogue::GetCurrentLevelUnlock())));
        return;
    }
    MusicManager::Instance().Play(MusicTrack::Level, false);
}

void GameMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    if (quadTree)
        quadTree->Update(dt);
}

void GameMode::Draw()
{
    SceneApplicationMode::Draw();
    if (collisionView && quadTree)
        quadTree->Draw();
}

bool GameMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        OpenPauseMenu();
        return true;
    }
    if (key == kCollisionViewKey)
    {
        collisionView = !collisionView;
        return true;
    }
    if (key == kLineDebugKey)
    {
        debugDraw = !debugDraw;
        Line::debugDraw = debugDraw;
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

bool GameMode::OnMouseMove(int x, int y)
{
    if (level)
        level->mousePosition = {float(x), float(y)};
    return SceneApplicationMode::OnMouseMove(x, y);
}

void GameMode::HandleMessage(const Kestrin::Message& message)
{
    if (GetClickedName(message) == kPauseButton.Get())
        OpenPauseMenu();
}

void GameMode::OpenPauseMenu()
{
    // Once the level is decided its outro is on the way: leaving through the pause menu then would
    // lose a win that is saved only when the outro comes.
    if (level && (level->won || level->lost || level->endlessOver))
        return;
    Kestrin::PushMode(new InGameMenuMode);
}
