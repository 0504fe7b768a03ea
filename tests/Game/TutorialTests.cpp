#include "Game/GameLevels.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Scene/StaticSpriteNode.h"
#include "UI/UINames.h"

#include "PlayfieldTestSupport.h"

#include <gtest/gtest.h>

using namespace GameTest;

namespace
{

// On the game screen's playfield with its pop-up layer, and the calendar's bubble anchor.
class Tutorials : public PlayfieldTest
{
protected:
    Tutorials() : PlayfieldTest({.paths = {NodePath::PopupLayerNode, NodePath::AgendaDayButtonAttach}})
    {
        looper->PushModeNow(screen);
    }
    ~Tutorials() override { manager.HideBubble(); }

    std::vector<int> Due() const
    {
        std::vector<int> due;
        for (int id = 0; id < int(TutorialId::None); ++id)
            if (manager.IsDue(TutorialId(id)))
                due.push_back(id);
        return due;
    }
    // Pushes the queued pop-up and answers it, or null when none was queued.
    TutorialPopupMode* TakePopup()
    {
        auto requests = looper->GetPendingRequests();
        if (requests.size() != 1 || requests[0].kind != Kestrin::Looper::Request_Push)
            return nullptr;
        auto* popup = dynamic_cast<TutorialPopupMode*>(requests[0].mode);
        looper->ProcessModeRequests();
        return popup;
    }
    SceneNode* Bubble() const
    {
        auto* object = screen->FindObject(GameNames::TutorialRootNode.Get());
        return dynamic_cast<SceneNode*>(object);
    }

    TutorialManager& manager = TutorialManager::Instance();
};

const std::vector<int> kAll = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

} // namespace

TEST_F(Tutorials, FollowTheirFlagsThroughAPlayersProgress)
{
    manager.Show(TutorialId::OneMinute, {100, 100});
    EXPECT_TRUE(Due().empty()) << "nothing is due before the flags are read";
    EXPECT_TRUE(looper->GetPendingRequests().empty());

    manager.ReadFlags();
    EXPECT_EQ(Due(), kAll);

    // The first pointing pop-up holds the optional hints back until tutorial 3.
    manager.Show(TutorialId::BasicsStart, {500, 400});
    TutorialPopupMode* popup = TakePopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->tutorialId, 0);
    EXPECT_TRUE(popup->pointsAtAnchor);
    EXPECT_FALSE(popup->closesByItself);
    EXPECT_EQ(popup->anchor, Vector2f(500, 400));
    looper->PopModeNow();
    EXPECT_EQ(Due(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 15, 16}));
    manager.Show(TutorialId::BadLoop, {1, 1});
    EXPECT_TRUE(looper->GetPendingRequests().empty());
    manager.Show(TutorialId::BasicsGunk, {100, 100});
    EXPECT_NE(Bubble(), nullptr);
    EXPECT_EQ(Due(), kAll);

    // The basic ones show as often as they are raised; a bubble replaces the last.
    manager.Show(TutorialId::BasicsCreature, {100, 100});
    manager.Show(TutorialId::BasicsCreature, {100, 100});
    EXPECT_EQ(screen->At(NodePath::PopupLayerNode)->GetChildCount(), 1u);
    ASSERT_NE(Bubble(), nullptr);
    EXPECT_EQ(Bubble()->GetParent(), screen->At(NodePath::PopupLayerNode));

    // The others once, recorded in the account.
    manager.Show(TutorialId::OneMinute, {0, 0});
    manager.Show(TutorialId::OneMinute, {0, 0});
    ASSERT_EQ(looper->GetPendingRequests().size(), 1u);
    EXPECT_FALSE(TakePopup()->pointsAtAnchor);
    looper->PopModeNow();
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::1Minute", 1), 0);
    EXPECT_EQ(Bubble(), nullptr) << "a new tutorial takes the bubble down";

    // "Endless" shows nothing and is gone.
    const uint32_t children = screen->GetRootNode()->GetChildCount();
    manager.Show(TutorialId::Endless, {0, 0});
    EXPECT_TRUE(looper->GetPendingRequests().empty());
    EXPECT_EQ(screen->GetRootNode()->GetChildCount(), children);
    EXPECT_FALSE(manager.IsDue(TutorialId::Endless));

    // A bubble whose anchor the scene lacks is logged and still counts as shown.
    manager.Show(TutorialId::Day, {325, 255});
    EXPECT_NE(log.Text().find("daily_schedule/guest_combo_attach"), std::string::npos);
    EXPECT_FALSE(manager.IsDue(TutorialId::Day));
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::Day", 1), 0);

    // The catalogue switches the basics and three more off as the player goes on.
    AddData(L"GameLevels", "<GameLevels><Day dayNum=\"1\"><level name=\"1-06 Harley\" guestID=\"Harley\"/>"
                           "</Day><EndlessLevels/></GameLevels>");
    GameLevels levels;
    manager.FollowCatalogue(levels);
    levels.LoadLevelList();
    levels.current = levels.Find("1-06 Harley");
    ASSERT_NE(levels.current, nullptr);
    levels.SaveProgress();
    EXPECT_EQ(Due(), (std::vector<int>{6, 9, 12, 13, 15, 16}));

    // A new read takes the account's word for all of it.
    manager.Disable();
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::Basics", 1), 0);
    manager.ReadFlags();
    EXPECT_EQ(Due(), (std::vector<int>{6, 9, 12, 13, 15, 16}));
    levels.SetTutorialSwitchOffHook(nullptr);
}

TEST_F(Tutorials, BubblesHangByTheCornerAwayFromThePoint)
{
    struct Case
    {
        Vector2f point;
        std::string arrow;
        int selfH, selfV;
        Vector2f position;
    };
    const Case cases[] = {
        {{400, 300}, "left_up", 0, 0, {420, 320}},
        {{401, 301}, "right_down", 2, 2, {381, 281}},
        {{401, 300}, "right_up", 2, 0, {381, 320}},
        {{400, 301}, "left_down", 0, 2, {420, 281}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arrow);
        SceneNode* root = manager.ShowBubble(NodePath::PopupLayerNode, c.point, 6, false);
        ASSERT_NE(root, nullptr);
        SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble);
        EXPECT_EQ(ShownArrows(root), std::vector<std::string>{c.arrow});
        EXPECT_EQ(bubble->GetSelfHAlign(), c.selfH);
        EXPECT_EQ(bubble->GetSelfVAlign(), c.selfV);
        EXPECT_EQ(bubble->GetParentHAlign(), 0);
        EXPECT_EQ(Vector2f(bubble->GetLocalState().x, bubble->GetLocalState().y), c.position);
        EXPECT_EQ(bubble->FindChild("buttonOK"), nullptr);
        EXPECT_EQ(screen->FindObject(GameNames::TutorialButtonOK.Get()), nullptr);
        auto* picture = dynamic_cast<StaticSpriteNode*>(
            FindTutorialPart(root, NodePath::TutorialTextAttach)->GetFirstChild());
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(picture->HasImage());
        manager.HideBubble();
        EXPECT_EQ(Bubble(), nullptr);
    }

    // The self-closing kind goes after five seconds.
    SceneNode* root = manager.ShowBubble(NodePath::AgendaDayButtonAttach, {150, 175}, 2, true);
    ASSERT_NE(root, nullptr);
    for (int step = 0; step < 249; ++step)
        looper->UpdateAll(0.02f);
    EXPECT_EQ(Bubble(), root);
    looper->UpdateAll(0.02f);
    looper->UpdateAll(0.02f);
    EXPECT_EQ(Bubble(), nullptr);

    // Without its layout nothing is shown, and the log says why.
    delete Kestrin::ResourceManager::Instance();
    EXPECT_EQ(manager.ShowBubble(NodePath::PopupLayerNode, {1, 1}, 1, false), nullptr);
    EXPECT_NE(log.Text().find("tutorialRootLayout is not loaded"), std::string::npos);
}

namespace
{

class Popups : public TutorialTest
{
protected:
    TutorialPopupMode* Push(Vector2f anchor, bool closes, bool points)
    {
        auto* popup = new TutorialPopupMode(anchor, 15, {.closesByItself = closes, .pointsAtAnchor = points});
        looper->PushModeNow(popup);
        return popup;
    }
    SceneNode* Node(TutorialPopupMode* popup, NodePath path) const
    {
        return FindTutorialPart(popup->GetRootNode()->GetFirstChild(), path);
    }
    void Click(TutorialPopupMode* popup, Kestrin::NameId name)
    {
        Kestrin::Object* object = popup->FindObject(name);
        ASSERT_NE(object, nullptr);
        popup->HandleMessage(Kestrin::Message(object->GetHandle(), Kestrin::Names::ButtonClick.Get()));
    }
};

} // namespace

TEST_F(Popups, PointOrCentreAndCloseOnOKOnly)
{
    TutorialPopupMode* popup = Push({401, 301}, false, true);
    EXPECT_FALSE(popup->IsOpaque());
    SceneNode* bubble = Node(popup, NodePath::TutorialMessageBubble);
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(ShownArrows(popup->GetRootNode()->GetFirstChild()), std::vector<std::string>{"right_down"});
    EXPECT_EQ(Vector2f(bubble->GetLocalState().x, bubble->GetLocalState().y), Vector2f(381, 281));
    auto* picture =
        dynamic_cast<StaticSpriteNode*>(Node(popup, NodePath::TutorialTextAttach)->GetFirstChild());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetImage(),
              Kestrin::GetResource<Kestrin::ImageList>("TutorialImages").second->GetImageAt(15));

    for (int step = 0; step < 300; ++step)
        looper->UpdateAll(0.02f);
    EXPECT_TRUE(looper->GetPendingRequests().empty()) << "it waits for OK";
    Click(popup, GameNames::TutorialRootNode.Get());
    EXPECT_TRUE(looper->GetPendingRequests().empty());
    Click(popup, GameNames::TutorialButtonOK.Get());
    Click(popup, GameNames::TutorialButtonOK.Get());
    EXPECT_EQ(RequestKinds(), std::vector<int>{Kestrin::Looper::Request_Pop});
    looper->ProcessModeRequests();

    popup = Push({0, 0}, false, false);
    bubble = Node(popup, NodePath::TutorialMessageBubble);
    EXPECT_TRUE(ShownArrows(popup->GetRootNode()->GetFirstChild()).empty());
    EXPECT_EQ(bubble->GetParentHAlign(), 1);
    EXPECT_EQ(bubble->GetSelfVAlign(), 1);
    EXPECT_EQ(Vector2f(bubble->GetLocalState().x, bubble->GetLocalState().y), Vector2f(400, 300));
}

TEST_F(Popups, SelfClosingOneHasNoButtonAndPopsOnceAfterFourSeconds)
{
    TutorialPopupMode* popup = Push({100, 100}, true, true);
    EXPECT_EQ(popup->FindObject(GameNames::TutorialButtonOK.Get()), nullptr);
    EXPECT_EQ(Node(popup, NodePath::TutorialMessageBubble)->FindChild("buttonOK"), nullptr);
    int steps = 0;
    while (looper->GetPendingRequests().empty() && steps < 400)
    {
        looper->UpdateAll(0.02f);
        ++steps;
    }
    EXPECT_GE(steps, 200);
    EXPECT_LE(steps, 201);
    looper->UpdateAll(0.02f);
    EXPECT_EQ(RequestKinds(), std::vector<int>{Kestrin::Looper::Request_Pop});
}

TEST_F(Popups, WithoutItsLayoutGoesAtOnce)
{
    delete Kestrin::ResourceManager::Instance();
    Push({100, 100}, false, true);
    EXPECT_EQ(RequestKinds(), std::vector<int>{Kestrin::Looper::Request_Pop});
    EXPECT_NE(log.Text().find("tutorialRootLayout"), std::string::npos);
}
