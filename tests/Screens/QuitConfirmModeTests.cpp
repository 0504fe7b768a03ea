#include "Screens/QuitConfirmMode.h"

#include "Scene/TextSpriteNode.h"
#include "Screens/MainMenuMode.h"
#include "UI/UINames.h"

#include "ScreenTestSupport.h"

#include <algorithm>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class RefusingHandler : public IQuitHandler
{
public:
    bool OnQuitRequest() override
    {
        ++asked;
        return false;
    }
    int asked = 0;
};

// On the committed data: the card, its texts and its buttons as the player meets them.
class QuitConfirm : public ScreenFixture
{
protected:
    QuitConfirm()
    {
        UseCommittedData();
        RecordSounds();
    }

    QuitConfirmMode* Show(bool slide, bool quitGame)
    {
        auto* screen = new QuitConfirmMode({.slide = slide, .quitGame = quitGame});
        PushMode(screen);
        Pass();
        Steps(1); // the scene refreshed where it stands
        return screen;
    }
    SceneNode* Card(const char* child) { return FindSceneNode({"quitConfirmRoot", "offset", child}); }
    std::wstring CardText(const char* child)
    {
        auto* text = dynamic_cast<TextSpriteNode*>(Card(child));
        return text ? text->GetText() : L"(no text node)";
    }
};

TEST_F(QuitConfirm, YesFromTheMainMenuAsksTheQuitHandlersUntilTheyAgree)
{
    QuitConfirmMode* screen = Show(true, true);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(CardText("title_quit"), GetGameText("QuitConfirm.title"));
    EXPECT_EQ(CardText("text_QuitConfirmMsg"), GetGameText("QuitConfirm.quit"));
    EXPECT_NE(GetGameText("QuitConfirm.quit"), L"Text not Found");
    EXPECT_TRUE(screen->IsSliding());
    Steps(25);
    ASSERT_FALSE(screen->IsSliding());

    RefusingHandler loading;
    looper->AddQuitHandler(&loading);
    ClickNode(Card("YesQuit"));
    EXPECT_EQ(loading.asked, 1);
    EXPECT_FALSE(looper->IsQuitSet());
    looper->RemoveQuitHandler(&loading);

    // Once nothing refuses, the same button quits.
    ClickNode(Card("YesQuit"));
    EXPECT_TRUE(looper->IsQuitSet());
    EXPECT_TRUE(Requests().empty());
    // The buttons' own sounds only; the card slides without one.
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_UI_dialog"), 0) << testing::PrintToString(played);
    EXPECT_NE(std::count(played.begin(), played.end(), "SFX_UI_Down"), 0) << testing::PrintToString(played);
}

TEST_F(QuitConfirm, YesFromTheGameGoesBackToAPlainMainMenuOnce)
{
    QuitConfirmMode* screen = Show(false, false);
    EXPECT_FALSE(screen->IsSliding());
    EXPECT_EQ(CardText("text_QuitConfirmMsg"), GetGameText("QuitConfirm.mainmenu"));
    ClickNode(Card("YesQuit"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "MainMenuMode"}}));
    EXPECT_FALSE(QueuedAs<MainMenuMode>(0)->GetPlayEntrance());
    // A second answer before the pass changes nothing.
    screen->HandleMessage(Message(Card("YesQuit")->GetHandle(), Names::ButtonClick));
    screen->HandleMessage(Message(Card("NoQuit")->GetHandle(), Names::ButtonClick));
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_FALSE(looper->IsQuitSet());
}

TEST_F(QuitConfirm, NoAndEscapeLeaveOnePopAndNoSound)
{
    struct Case
    {
        bool slide;
        bool escape;
        int stepsToPop;
    };
    for (const Case& c : {Case{true, false, 25}, Case{true, true, 25}, Case{false, false, 0}})
    {
        SCOPED_TRACE(testing::Message() << "slide " << c.slide << " escape " << c.escape);
        QuitConfirmMode* screen = Show(c.slide, true);
        Steps(25);
        if (c.escape)
            Send(InputEvent_KeyDown, 0, 0, 27);
        else
            ClickNode(Card("NoQuit"));
        EXPECT_EQ(screen->IsSliding(), c.slide);
        if (c.stepsToPop > 0)
        {
            Steps(c.stepsToPop - 1);
            EXPECT_TRUE(Requests().empty());
            Steps(1);
        }
        EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        Steps(5);
        EXPECT_EQ(Requests().size(), 1u);
        Pass();
        EXPECT_EQ(Top(), nullptr);
    }
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_UI_dialog"), 0) << testing::PrintToString(played);
    EXPECT_FALSE(looper->IsQuitSet());
}

TEST_F(QuitConfirm, WithoutItsGroupEscapeStillCloses)
{
    // The test's own empty data tree: no QuitConfirm.xml there.
    ResetResources();
    IFileSystem* committed = GetFileSystem();
    auto* files = new Win32FileSystem;
    files->AddPartition(1, new Win32FileSystemPartition(data.WidePath() + L"/data"));
    delete committed;
    boxes.boxes.clear();
    Show(false, true);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading QuitConfirm.xml. Fix the problem and press F5 to reload");
    Send(InputEvent_KeyDown, 0, 0, 27);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

} // namespace
