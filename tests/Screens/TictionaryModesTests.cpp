#include "Screens/TictionaryModes.h"

#include "Game/GameConstants.h"
#include "Game/MusicManager.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/SoundResources.h"
#include "Scene/StaticSpriteNode.h"

#include "RealDataFixture.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

// Stands for the screen that opens the encyclopedia (the main menu or the pause menu).
class Opener : public SceneApplicationMode
{
};

class Tictionary : public RealDataFixture
{
protected:
    void Unlock(int kind, int value = 1)
    {
        SetRecord(std::wstring(TictionaryKeyPrefix) + FromUtf8(TicKindNames[size_t(kind)]), value);
    }
    static std::string KindButton(int kind) { return std::string("button_") + TicKindNames[size_t(kind)]; }
    SceneNode* Node(SceneNodePath path) const
    {
        return dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode()->FindNode(path);
    }
    // Queued, then applied.
    void Apply(std::vector<Queued> expected)
    {
        EXPECT_EQ(Requests(), expected);
        Pass();
    }
};

TEST_F(Tictionary, TheCollectionEnablesExactlyTheKindsWhoseRecordIsOne)
{
    Unlock(3);
    Unlock(17);
    Unlock(5, 2);
    Unlock(6, 0);
    Show(new TictionaryMainMode);
    EXPECT_TRUE(boxes.boxes.empty());
    for (int kind = 0; kind < int(TicKindNames.size()); ++kind)
    {
        SCOPED_TRACE(TicKindNames[size_t(kind)]);
        ASSERT_NE(Button(KindButton(kind).c_str()), nullptr);
        EXPECT_EQ(IsEnabled(KindButton(kind).c_str()), kind == 3 || kind == 17);
    }
    EXPECT_FALSE(IsEnabled("button_tab_tictionary"));
    EXPECT_TRUE(IsEnabled("button_tab_about"));
    EXPECT_TRUE(IsEnabled("button_tab_help"));

    // A locked entry takes no click; an unlocked one opens its profile in place.
    EXPECT_FALSE(Click(KindButton(0).c_str()));
    ASSERT_TRUE(Click(KindButton(17).c_str()));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{0, "TictionaryProfileMode"}}));
    EXPECT_EQ(QueuedAs<TictionaryProfileMode>(0)->GetKindIndex(), 17);
}

TEST_F(Tictionary, PrevAndNextStepOverLockedKindsAndWrap)
{
    struct Case
    {
        std::vector<int> unlocked;
        int start;
        bool forward;
        int expected;
    };
    for (const Case& c :
         {Case{{9}, 9, true, 9}, Case{{9}, 9, false, 9}, Case{{0, 17}, 17, true, 0},
          Case{{0, 17}, 0, false, 17}, Case{{2, 8, 12}, 8, true, 12}, Case{{2, 8, 12}, 8, false, 2},
          Case{{2, 8, 12}, 2, false, 12},
          // Opened on a locked kind with none unlocked: stays put rather than searching for ever.
          Case{{}, 4, true, 4}})
    {
        SCOPED_TRACE(testing::Message() << "from " << c.start << (c.forward ? " forward" : " back"));
        for (int kind = 0; kind < int(TicKindNames.size()); ++kind)
            Unlock(kind, 0);
        for (int kind : c.unlocked)
            Unlock(kind);
        auto* page = Show(new TictionaryProfileMode(c.start));
        ASSERT_TRUE(Click(c.forward ? "button_next" : "button_prev"));
        EXPECT_EQ(page->GetKindIndex(), c.expected);
        auto* image = dynamic_cast<StaticSpriteNode*>(Node({"Tictionary_TicProfile", "TicDataImage"}));
        ASSERT_NE(image, nullptr);
        const std::string expectedImage = std::string("TicProfile_") + TicKindNames[size_t(c.expected)];
        EXPECT_EQ(image->GetImage(), GetImageByName(expectedImage.c_str()).second);
        EXPECT_NE(image->GetImage(), nullptr);
        EXPECT_FALSE(IsEnabled("button_tab_tictionary"));
        EXPECT_EQ(Button("button_next")->GetSounds(), GetResource<SoundList>("PageFlipButtonSounds").second);
        PopMode();
        Pass();
    }
}

TEST_F(Tictionary, TheHelpPageShowsOneSubPageAtATime)
{
    Show(new TictionaryHelpMode);
    auto visible = [&]
    {
        std::string shown;
        for (const char* page : {"basics", "gameplay", "tips"})
            if (Node({"Tictionary_GameHelp", page})->GetLocalState().visible)
                shown += std::string(shown.empty() ? "" : " ") + page;
        return shown;
    };
    EXPECT_EQ(visible(), "basics");
    EXPECT_FALSE(IsEnabled("button_tab_help"));
    for (auto [button, page] : {std::pair{"gamePlay", "gameplay"}, {"tips", "tips"}, {"basics", "basics"}})
    {
        ASSERT_TRUE(Click(button));
        EXPECT_EQ(visible(), page);
    }
    EXPECT_TRUE(Requests().empty());
}

TEST_F(Tictionary, TabsReplaceThePageAndBackReturnsToTheOpener)
{
    Unlock(0);
    Show(new Opener);
    Show(new TictionaryMainMode);
    ISoundChannel* music = MusicManager::Instance().GetMelodyChannel();
    ASSERT_NE(music, nullptr);
    ASSERT_TRUE(music->IsPlaying());
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Tictionary);
    music->AddRef(); // held: a restart would stop this channel and play on a new one

    ASSERT_TRUE(Click("button_tab_help"));
    Apply({{0, "TictionaryHelpMode"}});
    ASSERT_TRUE(Click("button_tab_about"));
    Apply({{0, "TictionaryAboutMode"}});
    EXPECT_FALSE(IsEnabled("button_tab_about"));
    ASSERT_TRUE(Click("button_tab_tictionary"));
    Apply({{0, "TictionaryMainMode"}});
    ASSERT_TRUE(Click("button_neurotic"));
    Apply({{0, "TictionaryProfileMode"}});
    ASSERT_TRUE(Click("button_returnToCollection"));
    Apply({{0, "TictionaryMainMode"}});
    EXPECT_EQ(looper->GetStack().size(), 2u);
    EXPECT_EQ(MusicManager::Instance().GetMelodyChannel(), music);
    EXPECT_TRUE(music->IsPlaying());
    music->Release();

    ASSERT_TRUE(Click("button_back"));
    Apply({{3, ""}});
    ASSERT_EQ(looper->GetStack().size(), 1u);
    EXPECT_NE(dynamic_cast<Opener*>(Top()), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

using BrokenTictionary = ScreenFixture;

TEST_F(BrokenTictionary, APageWhoseGroupFailsShowsOneBoxAndEscapeLeaves)
{
    AddBrokenGroup("Encyclopedia");
    auto* help = new TictionaryHelpMode;
    PushMode(help);
    Pass();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading Encyclopedia.xml. Fix the problem and press F5 to reload");
    EXPECT_FALSE(help->IsBuilt());
    help->ShowPage(ScreenNode::HelpTips); // nothing to show, nothing to break
    EXPECT_TRUE(help->OnKeyDown(27));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

} // namespace
