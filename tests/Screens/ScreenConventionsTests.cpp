#include "Screens/ScreenConventions.h"

#include "Base/Text.h"
#include "UI/UINames.h"

#include "ScreenTestSupport.h"

#include <functional>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class TestScreen : public SceneApplicationMode
{
public:
    TestScreen(std::wstring group, const char* layout) : m_group(std::move(group)), m_layout(layout) {}

    void Enter() override
    {
        entered = m_group.Enter(*this, m_layout, true);
        if (onEnter)
            onEnter();
    }

    ScreenGroup& Group() { return m_group; }
    bool entered = false;
    std::function<void()> onEnter;

private:
    ScreenGroup m_group;
    const char* m_layout;
};

// Shaped like the credits page, so the checked lookups can take the screens' rows.
const char* const kPanel = "<resources><scenelayout name=\"panelLayout\">"
                           "<scenenode nodeName=\"creditsRoot\" width=\"100\" height=\"50\">"
                           "<scenenode nodeName=\"text_credits\" name=\"Caption\"/>"
                           "<staticspritenode nodeName=\"Bg_Credits\"/></scenenode>"
                           "</scenelayout></resources>";

class Conventions : public ScreenFixture
{
protected:
    TestScreen* Show(TestScreen* screen)
    {
        PushMode(screen);
        Pass();
        return screen;
    }
};

TEST_F(Conventions, AGroupThatFailsShowsOneBoxAndTheScreenRunsOnWithoutIt)
{
    struct Case
    {
        const char* xml; // null: no file
        const char* layout;
        const wchar_t* text;
    };
    for (const Case& c :
         {Case{"<resources><float name=\"x\" value=\"1\"/>", "panelLayout", nullptr},
          Case{nullptr, "panelLayout", L"Error opening file \"Group1.xml\": file doesn't exist"},
          Case{kPanel, "otherLayout", L"scene layout otherLayout not found"}})
    {
        SCOPED_TRACE(c.xml ? c.xml : "no file");
        const std::string group = std::string("Group") + std::to_string(boxes.boxes.size());
        if (c.xml)
            AddGroup(group, c.xml);
        boxes.boxes.clear();
        TestScreen* screen = Show(new TestScreen(FromUtf8(group), c.layout));
        EXPECT_FALSE(screen->entered);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, L"There was an error loading " + FromUtf8(group) +
                                              L".xml. Fix the problem and press F5 to reload");
        if (c.text)
            EXPECT_EQ(boxes.boxes[0].text, c.text);
        else
            EXPECT_FALSE(boxes.boxes[0].text.empty());
        // A second failure of the same screen goes to the log only.
        screen->Group().ShowError(L"again");
        EXPECT_EQ(boxes.boxes.size(), 1u);

        Steps(3);
        screen->Draw();
        screen->OnMouseMove(10, 10);
        screen->OnKeyDown(9);
        screen->OnMouseLeave();
        EXPECT_EQ(screen->Group().FindNode(ScreenNode::CreditsText), nullptr);
        looper->PopModeNow();
    }
}

TEST_F(Conventions, LookupsSearchTheScreenBeingEnteredAndLogWhatTheyMissOnce)
{
    AddGroup("Panel", kPanel);
    TestScreen* below = Show(new TestScreen(L"Panel", "panelLayout"));
    ASSERT_TRUE(below->entered);
    ASSERT_NE(FindSceneNode({"creditsRoot", "text_credits"}), nullptr);
    EXPECT_EQ(FindSceneNode({"creditsRoot", "text_credits"})->GetName(), MakeName("Caption"));
    EXPECT_EQ(FindSceneNode({"nothing", "text_credits"}), nullptr);
    EXPECT_EQ(FindSceneChild("creditsRoot"), FindSceneNode({"creditsRoot"}));
    EXPECT_EQ(FindStaticSpriteNode({"creditsRoot", "Bg_Credits"}),
              FindSceneNode({"creditsRoot", "Bg_Credits"}));
    EXPECT_NE(FindStaticSpriteNode({"creditsRoot", "Bg_Credits"}), nullptr);
    EXPECT_EQ(FindStaticSpriteNode({"creditsRoot", "text_credits"}), nullptr); // a plain node

    // During the push the new screen, whose root is still empty, is the one searched.
    auto* above = new TestScreen(L"Panel", "missingLayout");
    SceneNode* foundDuringEnter = reinterpret_cast<SceneNode*>(1);
    above->onEnter = [&] { foundDuringEnter = FindSceneNode({"creditsRoot"}); };
    boxes.boxes.clear();
    Show(above);
    EXPECT_EQ(foundDuringEnter, nullptr);
    EXPECT_EQ(GetCurrentSceneRoot(), above->GetRootNode());

    // The checked lookups log a missing node or object once, and a node of the wrong kind as well.
    ScreenGroup& group = above->Group();
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(group.FindNode(ScreenNode::CreditsText), nullptr);
        EXPECT_EQ(group.FindObject(MakeName("Caption")), nullptr);
    }
    const std::string text = log.Text();
    const std::string missing = "Missing node creditsRoot/text_credits in Panel\n";
    EXPECT_EQ(text.find(missing), text.rfind(missing));
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    EXPECT_NE(text.find("Missing node Caption in Panel\n"), std::string::npos);
    Pass();
    looper->PopModeNow();
    EXPECT_EQ(below->Group().FindNodeAs<SceneApplicationMode>(ScreenNode::CreditsText), nullptr);
    EXPECT_NE(log.Text().find("Node creditsRoot/text_credits in Panel is not a SceneApplicationMode\n"),
              std::string::npos);
    EXPECT_NE(below->Group().FindNodeAs<SceneNode>(ScreenNode::CreditsText), nullptr);
}

TEST_F(Conventions, AClickNamesItsButtonWhileTheButtonLives)
{
    AddGroup("Panel", kPanel);
    Show(new TestScreen(L"Panel", "panelLayout"));
    SceneNode* label = FindSceneNode({"creditsRoot", "text_credits"});
    const ObjectHandle handle = label->GetHandle();
    EXPECT_EQ(GetClickedName(Message(handle, Names::ButtonClick)), MakeName("Caption"));
    EXPECT_EQ(GetClickedName(Message(handle, Names::CheckBoxClick)), NameId());
    Top()->RemoveObject(handle);
    Steps(1); // deleted after the update
    EXPECT_EQ(GetClickedName(Message(handle, Names::ButtonClick)), NameId());
}

} // namespace
