#include "Screens/CreditsMode.h"

#include "Scene/AnimatedSpriteNode.h"
#include "Scene/TextSpriteNode.h"

#include "RealDataFixture.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class Credits : public RealDataFixture
{
protected:
    AnimatedSpriteNode* Page() const
    {
        SceneNode* root = dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode();
        return dynamic_cast<AnimatedSpriteNode*>(root->FindNode({"creditsRoot", "Bg_Credits"}));
    }
    bool Shows(const char* animation) const { return Page()->IsPlayingAnimation(MakeName(animation)); }
};

TEST_F(Credits, PagesStepForwardToTheLastAndBackToTheFirst)
{
    CreditsMode* credits = Show(new CreditsMode);
    ASSERT_NE(Page(), nullptr);
    auto* title =
        dynamic_cast<TextSpriteNode*>(credits->GetRootNode()->FindNode({"creditsRoot", "text_credits"}));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), GetGameText("Credits.title"));
    EXPECT_NE(title->GetText(), L"Text not Found");

    struct Step
    {
        const char* click; // null: the page on entering
        bool clicked;
        int index;
        const char* animation;
        bool prev, next;
    };
    for (const Step& s :
         {Step{nullptr, false, 0, "quorvane", false, true},
          Step{"Prev", false, 0, "quorvane", false, true}, // disabled: no click
          Step{"Next", true, 1, "tamsel", true, true}, Step{"Next", true, 2, "partners", true, false},
          Step{"Next", false, 2, "partners", true, false}, Step{"Prev", true, 1, "tamsel", true, true},
          Step{"Prev", true, 0, "quorvane", false, true}})
    {
        SCOPED_TRACE(s.click ? s.click : "enter");
        if (s.click)
        {
            EXPECT_EQ(Click(s.click), s.clicked);
        }
        EXPECT_EQ(credits->GetPageIndex(), s.index);
        EXPECT_TRUE(Shows(s.animation));
        EXPECT_EQ(IsEnabled("Prev"), s.prev);
        EXPECT_EQ(IsEnabled("Next"), s.next);
    }
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Credits, MainMenuPopsOnce)
{
    Show(new CreditsMode);
    ASSERT_TRUE(Click("MainMenu"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

using BrokenCredits = ScreenFixture;

TEST_F(BrokenCredits, WithoutItsLayoutEscapeLeaves)
{
    AddBrokenGroup("Credits");
    auto* credits = new CreditsMode;
    PushMode(credits);
    Pass();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading Credits.xml. Fix the problem and press F5 to reload");
    EXPECT_FALSE(credits->OnKeyDown(32));
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(credits->OnKeyDown(27));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

} // namespace
