#include "Screens/InGameMenuMode.h"

#include "Scene/StyledTextSpriteNode.h"
#include "Screens/OptionsMode.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/TictionaryModes.h"
#include "UI/UINames.h"

#include "RealDataFixture.h"

#include <algorithm>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

// Stands for the playing screen beneath: counts the steps it is given.
class CountingScreen : public SceneApplicationMode
{
public:
    void Enter() override { CreateRootNode(); }
    void Update(float dt) override
    {
        ++updates;
        SceneApplicationMode::Update(dt);
    }
    int updates = 0;
};

class PauseMenu : public RealDataFixture
{
protected:
    PauseMenu()
    {
        RecordSounds();
        Show(game);
    }

    InGameMenuMode* Open()
    {
        auto* menu = Show(new InGameMenuMode);
        Steps(25); // slid in
        return menu;
    }

    CountingScreen* game = new CountingScreen;
};

TEST_F(PauseMenu, SlidesInOverAGameThatStandsStillAndResumesWithOnePop)
{
    Steps(3);
    ASSERT_EQ(game->updates, 3);
    auto* menu = Show(new InGameMenuMode);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(menu->IsSliding());
    EXPECT_FALSE(menu->IsOpaque());
    auto* title = dynamic_cast<StyledTextSpriteNode*>(FindSceneNode({"inGameMenuRoot", "title_pause"}));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), GetGameText("PauseMenu.title"));
    EXPECT_NE(title->GetText(), L"Text not Found");
    Steps(25);
    EXPECT_FALSE(menu->IsSliding());
    EXPECT_EQ(game->updates, 3);

    ASSERT_TRUE(Click("ResumeGame"));
    EXPECT_TRUE(menu->IsSliding());
    Steps(24);
    EXPECT_TRUE(Requests().empty());
    // Clicks during the slide go nowhere.
    menu->HandleMessage(Message(Button("ResumeGame")->GetHandle(), Names::ButtonClick));
    menu->HandleMessage(Message(Button("Quit")->GetHandle(), Names::ButtonClick));
    Steps(1);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();
    EXPECT_EQ(Top(), game);
    Steps(2);
    EXPECT_EQ(game->updates, 5);
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_UI_dialog"), 2) << testing::PrintToString(played);
}

TEST_F(PauseMenu, EachButtonOpensItsScreenAboveTheMenu)
{
    struct Case
    {
        const char* button;
        const char* screen;
        bool quitGame; // for the confirmation
    };
    for (const Case& c :
         {Case{"Options", "OptionsMode", false}, Case{"MainMenu", "QuitConfirmMode", false},
          Case{"Quit", "QuitConfirmMode", true}, Case{"button_help", "TictionaryHelpMode", false}})
    {
        SCOPED_TRACE(c.button);
        InGameMenuMode* menu = Open();
        ASSERT_TRUE(Click(c.button));
        ASSERT_EQ(Requests(), (std::vector<Queued>{{1, c.screen}}));
        if (auto* options = QueuedAs<OptionsMode>(0))
        {
            EXPECT_FALSE(options->GetSlide());
        }
        if (auto* confirm = QueuedAs<QuitConfirmMode>(0))
        {
            EXPECT_FALSE(confirm->GetSlide());
            EXPECT_EQ(confirm->GetQuitGame(), c.quitGame);
        }
        Pass();
        EXPECT_TRUE(boxes.boxes.empty());
        // Leaving the opened screen uncovers the menu, still in place.
        PopMode();
        Pass();
        EXPECT_EQ(Top(), menu);
        EXPECT_FALSE(menu->IsSliding());
        PopMode();
        Pass();
        ASSERT_EQ(Top(), game);
    }
    EXPECT_EQ(game->updates, 0);
}

TEST_F(PauseMenu, HelpsBackButtonReturnsToTheMenu)
{
    InGameMenuMode* menu = Open();
    ASSERT_TRUE(Click("button_help"));
    Pass();
    ASSERT_NE(dynamic_cast<TictionaryHelpMode*>(Top()), nullptr);
    ASSERT_TRUE(Click("button_back"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();
    EXPECT_EQ(Top(), menu);
}

TEST_F(PauseMenu, WithoutItsGroupEscapeStillReturnsToTheGame)
{
    AddGroup("InGameMenu", "<resources><broken></resources>");
    Show(new InGameMenuMode);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading InGameMenu.xml. Fix the problem and press F5 to reload");
    Send(InputEvent_KeyDown, 0, 0, 27);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();
    EXPECT_EQ(Top(), game);
}

} // namespace
