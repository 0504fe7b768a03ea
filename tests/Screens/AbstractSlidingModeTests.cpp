#include "Screens/AbstractSlidingMode.h"

#include "Platform/Platform.h"
#include "Scene/SceneNode.h"
#include "Screens/ScreenConventions.h"
#include "UI/UINames.h"

#include "ScreenTestSupport.h"

#include <filesystem>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

// A panel with one button at (100, 100), 170 x 44.
const char* const kPanelGroup = R"(<resources>
<sound name="SFX_UI_dialog" src="SFX_UI_dialog" type="effect"/>
<imagelist name="PanelButton"><image src="Btn_Medium_normal"/></imagelist>
<scenelayout name="panelLayout">
  <scenenode nodeName="panel" width="800" height="600">
    <buttonnode nodeName="close" name="Close" images="PanelButton" x="100" y="100"/>
  </scenenode>
</scenelayout></resources>)";

class PanelPopup : public AbstractSlidingMode
{
public:
    void Enter() override
    {
        if (!m_group.Enter(*this, "panelLayout", true))
            LetInputClose();
    }
    void HandleMessage(const Message& message) override
    {
        if (const NameId name = GetClickedName(message))
            clicks.push_back(name);
    }
    using AbstractSlidingMode::SlideIn;
    using AbstractSlidingMode::SlideOut;

    std::vector<NameId> clicks;

private:
    ScreenGroup m_group{L"Panel"};
};

class Sliding : public ScreenFixture
{
protected:
    Sliding()
    {
        const std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
        data.Write("data/sounds/SFX_UI_dialog.wav", std::string(wav.begin(), wav.end()));
        std::filesystem::create_directories(data.Path() + "/data/images");
        std::filesystem::copy_file(std::string(KESTRIN_SOURCE_DIR) +
                                       "/data/images/resources/Btn_Medium_normal.png",
                                   data.Path() + "/data/images/Btn_Medium_normal.png");
        AddGroup("Panel", kPanelGroup);
        RecordSounds();
    }

    PanelPopup* Show()
    {
        auto* popup = new PanelPopup;
        PushMode(popup);
        Pass();
        return popup;
    }
    void Send(int type, int x, int y, int value = 0)
    {
        looper->HandleInputEvent(InputEvent{type, x, y, value});
    }
    void ClickButton()
    {
        Send(InputEvent_MouseMove, 150, 120);
        Send(InputEvent_ButtonDown, 150, 120);
        Send(InputEvent_ButtonUp, 150, 120);
    }
    Vector2<float> RootAt(PanelPopup* popup) const
    {
        const SceneNode::NodeState& state = popup->GetRootNode()->GetLocalState();
        return {state.x, state.y};
    }
};

TEST_F(Sliding, InputDuringASlideReachesNoButton)
{
    PanelPopup* popup = Show();
    ASSERT_NE(popup->GetRootNode(), nullptr);
    EXPECT_FALSE(popup->IsOpaque());
    popup->SlideIn(AbstractSlidingMode::kAbove, AbstractSlidingMode::kResting, "");
    EXPECT_TRUE(popup->IsSliding());
    EXPECT_EQ(RootAt(popup).y, -400.0f);

    Steps(24);
    ClickButton();
    Send(InputEvent_KeyDown, 0, 0, 13);
    EXPECT_TRUE(popup->OnKeyDown(13));
    EXPECT_TRUE(popup->OnMouseDown(MouseButton::Left, 150, 120));
    EXPECT_TRUE(popup->clicks.empty());
    EXPECT_TRUE(popup->IsSliding());

    Steps(1);
    EXPECT_FALSE(popup->IsSliding());
    EXPECT_EQ(RootAt(popup).y, 0.0f);
    EXPECT_TRUE(Requests().empty()); // sliding in pops nothing
    ClickButton();
    EXPECT_EQ(popup->clicks, std::vector<NameId>{MakeName("Close")});
}

TEST_F(Sliding, ASlideOutPopsOnceWhenTheMoveEnds)
{
    PanelPopup* popup = Show();
    popup->SlideOut(AbstractSlidingMode::kResting, AbstractSlidingMode::kAbove, "");
    Steps(24);
    EXPECT_TRUE(Requests().empty());
    EXPECT_GT(RootAt(popup).y, -400.0f);
    Steps(1);
    EXPECT_EQ(RootAt(popup).y, -400.0f);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Steps(30);
    EXPECT_EQ(Requests().size(), 1u);
    Pass();
    EXPECT_EQ(Top(), nullptr);
}

TEST_F(Sliding, OnlyANamedSoundIsPlayed)
{
    PanelPopup* popup = Show();
    popup->SlideIn(AbstractSlidingMode::kAbove, AbstractSlidingMode::kResting, "");
    EXPECT_TRUE(played.empty());
    Steps(25);
    popup->SlideOut(AbstractSlidingMode::kResting, AbstractSlidingMode::kAbove, "SFX_UI_dialog");
    EXPECT_EQ(played, std::vector<std::string>{"SFX_UI_dialog"});
}

TEST_F(Sliding, APopupWithoutItsLayoutClosesOnEscapeOrAClick)
{
    for (int key : {27, -1})
    {
        SCOPED_TRACE(key);
        std::filesystem::remove(data.Path() + "/data/groups/Panel.xml");
        ResetResources();
        boxes.boxes.clear();
        PanelPopup* popup = Show();
        EXPECT_EQ(boxes.boxes.size(), 1u);
        popup->OnKeyDown(13); // no way out but Escape and clicks
        EXPECT_TRUE(Requests().empty());
        if (key > 0)
            EXPECT_TRUE(popup->OnKeyDown(key));
        else
            EXPECT_TRUE(popup->OnMouseDown(MouseButton::Left, 5, 5));
        EXPECT_TRUE(popup->OnKeyDown(27));
        EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        Pass();
        EXPECT_EQ(Top(), nullptr);
        AddGroup("Panel", kPanelGroup);
    }
    // With its layout Escape is an ordinary key.
    ResetResources();
    PanelPopup* popup = Show();
    popup->OnKeyDown(27);
    EXPECT_TRUE(Requests().empty());
}

} // namespace
