#include "Screens/MainMenuMode.h"

#include "Framework/AccountManager.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextEditNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/AccountModes.h"
#include "Screens/OptionsMode.h"

#include "RealDataFixture.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class MenuFlows : public RealDataFixture
{
protected:
    MainMenuMode* Open(bool entrance)
    {
        menu = Show(new MainMenuMode(entrance));
        return menu;
    }
    SceneNode* Node(SceneNodePath path) const { return menu->GetRootNode()->FindNode(path); }
    // The pictures added under the background by the entrance.
    int EntrancePictures() const
    {
        int count = 0;
        for (SceneNode* child = Node({"main_menu", "MainMenu_bg"})->GetFirstChild(); child;
             child = child->GetNextSibling())
            count += dynamic_cast<StaticSpriteNode*>(child) != nullptr;
        return count;
    }
    void Back()
    {
        PopMode();
        Pass();
        ASSERT_EQ(Top(), menu);
    }

    MainMenuMode* menu = nullptr;
};

TEST_F(MenuFlows, TheEntranceRunsOnTheFirstActivationOnly)
{
    Open(true);
    SceneNode* table = Node({"main_menu", "table"});
    EXPECT_EQ(EntrancePictures(), 1);
    auto* picture = dynamic_cast<StaticSpriteNode*>(Node({"main_menu", "MainMenu_bg"})->GetFirstChild());
    ASSERT_NE(picture, nullptr);
    EXPECT_NE(picture->GetImage(), nullptr);
    EXPECT_FLOAT_EQ(picture->GetLocalState().x, 129.0f);
    EXPECT_FLOAT_EQ(picture->GetLocalState().y, 157.0f);
    EXPECT_FLOAT_EQ(table->GetLocalState().y, 543.0f);
    EXPECT_FALSE(Node({"main_menu", "nodeToHide"})->GetLocalState().visible);
    EXPECT_FLOAT_EQ(Node({"main_menu", "NodeToFade"})->GetLocalState().color.a, 0.0f);

    Steps(40); // 0.8 s: half-way things
    EXPECT_GT(table->GetLocalState().y, 463.0f);
    EXPECT_LT(picture->GetLocalState().scaleX, 1.0f);
    EXPECT_FALSE(Node({"main_menu", "nodeToHide"})->GetLocalState().visible);
    Steps(20);
    EXPECT_FLOAT_EQ(table->GetLocalState().y, 463.0f);
    EXPECT_EQ(EntrancePictures(), 0); // it removed itself
    EXPECT_TRUE(Node({"main_menu", "nodeToHide"})->GetLocalState().visible);
    EXPECT_FLOAT_EQ(Node({"main_menu", "NodeToFade"})->GetLocalState().color.a, 1.0f);

    Show(new OptionsMode({.slide = false}));
    Back();
    Steps(5);
    EXPECT_EQ(EntrancePictures(), 0);
    EXPECT_FLOAT_EQ(table->GetLocalState().y, 463.0f);
    EXPECT_TRUE(Node({"main_menu", "nodeToHide"})->GetLocalState().visible);
    // The glow pulses once for all returns.
    EXPECT_EQ(Node({"main_menu", "NodeToFade", "glowImage"})->GetTasks().ActiveCount(), 1u);
}

TEST_F(MenuFlows, TheEntranceShowsOneSetOfTicsAtATime)
{
    auto shown = [](SceneNode* node)
    {
        for (; node; node = node->GetParent())
            if (!node->GetLocalState().visible)
                return false;
        return true;
    };
    Open(true);
    SceneNode* resting = Node({"main_menu", "nodeToHide", "restingTics"});
    ASSERT_NE(resting, nullptr);
    // At rest where the slide ends, as large as the slide leaves the picture.
    EXPECT_FLOAT_EQ(resting->GetLocalState().x, MainMenuMode::kPictureEnd.x);
    EXPECT_FLOAT_EQ(resting->GetLocalState().y, MainMenuMode::kPictureEnd.y);
    EXPECT_FLOAT_EQ(resting->GetLocalState().scaleX, MainMenuMode::kPictureScale);
    EXPECT_FLOAT_EQ(resting->GetLocalState().scaleY, MainMenuMode::kPictureScale);
    for (int step = 0; step <= 100; ++step) // two seconds
    {
        EXPECT_EQ(EntrancePictures() + int(shown(resting)), 1) << "after " << step << " steps";
        Steps(1);
    }
    EXPECT_TRUE(shown(resting));

    // Without the entrance the Tics are simply there.
    Open(false);
    EXPECT_EQ(EntrancePictures(), 0);
    EXPECT_TRUE(shown(Node({"main_menu", "nodeToHide", "restingTics"})));
}

TEST_F(MenuFlows, TheGlowPulsesWithAPeriodOfOneSecond)
{
    Open(false);
    SceneNode* glow = Node({"main_menu", "NodeToFade", "glowImage"});
    Steps(25);
    EXPECT_NEAR(glow->GetLocalState().color.a, 0.0f, 0.05f);
    Steps(25);
    EXPECT_NEAR(glow->GetLocalState().color.a, 1.0f, 0.05f);
    Steps(25);
    EXPECT_NEAR(glow->GetLocalState().color.a, 0.0f, 0.05f);
}

TEST_F(MenuFlows, EachButtonOpensItsScreen)
{
    AccountManager::Instance()->CreateAccount(L"Ann");
    AccountManager::Instance()->SetCurrentAccount(L"Ann");
    Open(false);
    auto* plate = dynamic_cast<TextSpriteNode*>(Node({"main_menu", "table", "nameplate", "text_name"}));
    ASSERT_NE(plate, nullptr);
    EXPECT_EQ(plate->GetText(), L"Ann");
    for (auto [button, screen] : {std::pair{"options", "OptionsMode"},
                                  {"credits", "CreditsMode"},
                                  {"high", "IntroMovieMode"},
                                  {"nameplate_button", "AccountMode"},
                                  {"tictionary", "TictionaryMainMode"},
                                  {"quit", "QuitConfirmMode"}})
    {
        SCOPED_TRACE(button);
        ASSERT_TRUE(Click(button));
        ASSERT_EQ(Requests(), (std::vector<Queued>{{1, screen}}));
        if (std::string(button) == "options")
        {
            EXPECT_TRUE(QueuedAs<OptionsMode>(0)->GetSlide());
        }
        Pass();
        Back();
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MenuFlows, OnlyTheDefaultProfileAsksForANameOnce)
{
    Open(false);
    EXPECT_TRUE(menu->GetAskForProfile());
    ASSERT_TRUE(Click("quit")); // never diverted
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "QuitConfirmMode"}}));
    Pass();
    Back();
    ASSERT_TRUE(Click("credits"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "FirstAccountMode"}}));
    EXPECT_FALSE(menu->GetAskForProfile());
    // Nothing more is taken while the pop-up waits to come up.
    EXPECT_FALSE(Click("credits"));
    EXPECT_EQ(Requests().size(), 1u);
    Pass();

    // Named: back on the menu, nothing is asked any more and the plate shows the name.
    auto* field = dynamic_cast<TextEditNode*>(Top()->FindObject(MakeName("AccountName")));
    ASSERT_NE(field, nullptr);
    Steps(30);
    field->SetText(L"Dee");
    ASSERT_TRUE(Click("OK"));
    Steps(30);
    Pass();
    ASSERT_EQ(Top(), menu);
    EXPECT_FALSE(menu->GetAskForProfile());
    EXPECT_EQ(
        dynamic_cast<TextSpriteNode*>(Node({"main_menu", "table", "nameplate", "text_name"}))->GetText(),
        L"Dee");
    ASSERT_TRUE(Click("credits"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "CreditsMode"}}));
}

TEST_F(MenuFlows, ABrokenProfileGroupShowsOneBoxAndAsksAgainOnlyOnceTheProfilesChange)
{
    AddBrokenGroup("Account");
    Open(false);
    ASSERT_TRUE(menu->GetAskForProfile());
    ASSERT_TRUE(Click("credits"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "FirstAccountMode"}}));
    Pass(); // the pop-up cannot come up and goes in the same pass
    ASSERT_EQ(Top(), menu);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    ASSERT_TRUE(Click("credits"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "CreditsMode"}}));
    Pass();
    Back();
    // Nor does a menu made afresh ask again.
    ClearStackAndPush(new MainMenuMode(false));
    Pass();
    menu = dynamic_cast<MainMenuMode*>(Top());
    ASSERT_TRUE(Click("options"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "OptionsMode"}}));
    Pass();
    Back();
    EXPECT_EQ(boxes.boxes.size(), 1u);

    // A profile made and deleted again: the list changed, the question comes back.
    AccountManager::Instance()->CreateAccount(L"Ann");
    AccountManager::Instance()->DeleteAccount(L"Ann");
    Show(new OptionsMode({.slide = false}));
    Back();
    EXPECT_TRUE(menu->GetAskForProfile());
}

TEST_F(MenuFlows, AnotherProfileBesideTheDefaultOneAsksNothing)
{
    AccountManager::Instance()->CreateAccount(L"Ann");
    Open(false);
    EXPECT_FALSE(menu->GetAskForProfile());
    ASSERT_TRUE(Click("credits"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "CreditsMode"}}));
}

} // namespace
