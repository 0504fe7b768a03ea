#include "Screens/LevelIntroModes.h"

#include "Framework/AccountManager.h"
#include "Framework/ResourceManager.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/MusicManager.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelSelectIntroMode.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MovieScreens.h"

#include "RealDataFixture.h"

#include <algorithm>

using namespace Kestrin;
using namespace ScreenTest;
using Status = LevelCompletionStatus;

namespace
{

class Cards : public RealDataFixture
{
protected:
    Cards()
    {
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
    }
    static GameLevels& Catalogue() { return GameLevels::Instance(); }
    static void Reload()
    {
        Catalogue().current = nullptr;
        Catalogue().LoadLevelList();
    }
    SceneNode* Row(ScreenNode row, SceneNode* start = nullptr) const
    {
        return FindScreenNode(start ? start : dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode(), row);
    }
    static bool Shown(SceneNode* node) { return node && node->GetLocalState().visible; }
    static std::wstring TextOf(SceneNode* node)
    {
        auto* text = dynamic_cast<TextSpriteComponent*>(node);
        return text ? text->GetText() : L"<no text node>";
    }
    static IImage* Image(const char* name) { return GetImageByName(name).second; }
    // Frame k of an image list of loaded images.
    static IImage* Frame(const char* list, int k)
    {
        auto* images = dynamic_cast<ImageList*>(GetResource<IImageList>(list).second);
        return images ? images->GetImageAt(k) : nullptr;
    }
};

// ---- the guest's file ----

// The sheet's entries in slot order; stops at the first empty slot.
std::vector<SceneNode*> Entries(SceneNode* sheet)
{
    std::vector<SceneNode*> out;
    for (int i = 1; sheet; ++i)
    {
        SceneNode* slot = sheet->FindChild("slot_" + std::to_string(i));
        if (!slot || !slot->GetFirstChild())
            break;
        out.push_back(slot->GetFirstChild());
    }
    return out;
}

TEST_F(Cards, TheGuestFileShowsTheVisitsLevelsOnTheSheetThatFits)
{
    Reload();
    bool second = false;
    const std::string lastJillian = Catalogue().GetGuestLevels(GuestID::Jillian, "", second).back()->name;
    struct Case
    {
        GuestID guest;
        const char* level;
        bool fromIntro;
        size_t entries;
        bool longSheet;
        const char* photo;
    };
    const Case cases[] = {
        {GuestID::Harley, "1-01 Harley", false, 12, false, "Harley_intro_photo"},
        {GuestID::Miranda, "1-04 Miranda", true, 10, false, "Miranda_intro_photo"},
        // Jillian's first visit, then her second.
        {GuestID::Jillian, "1-02 Jillian", true, 10, false, "Jillian_intro_photo"},
        {GuestID::Jillian, lastJillian.c_str(), false, 10, false, "Jillian2_intro_photo"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.level);
        Show(new LevelSelectIntroMode(c.guest, c.level, {.fromLevelIntro = c.fromIntro}));
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(dynamic_cast<StaticSpriteNode*>(Row(ScreenNode::GuestPhoto))->GetImage(), Image(c.photo));
        SceneNode* place = Row(c.longSheet ? ScreenNode::GuestRefSlot15 : ScreenNode::GuestRefSlot12);
        ASSERT_EQ(place->GetChildCount(), 1u);
        EXPECT_EQ(Row(c.longSheet ? ScreenNode::GuestRefSlot12 : ScreenNode::GuestRefSlot15)->GetChildCount(),
                  0u);
        EXPECT_EQ(Entries(place->GetFirstChild()).size(), c.entries);
        // The button of the way in, and the decorations of the other way hidden.
        SceneNode* attach = Row(ScreenNode::GuestConfirmButtonAttach);
        ASSERT_NE(attach->GetFirstChild(), nullptr);
        EXPECT_EQ(attach->GetFirstChild()->GetName(), MakeName(c.fromIntro ? "button_next" : "button_back"));
        EXPECT_EQ(Shown(Row(ScreenNode::GuestLevelSelection)), !c.fromIntro);
        EXPECT_EQ(Shown(Row(ScreenNode::GuestStylusGlare)), !c.fromIntro);
        EXPECT_EQ(Shown(Row(ScreenNode::GuestLevelIntro)), c.fromIntro);
        EXPECT_EQ(Shown(Row(ScreenNode::GuestBanner)), c.fromIntro);
        MusicManager::Instance().Play(MusicTrack::Lobby, false);
        Top()->Activate();
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(),
                  c.fromIntro ? MusicTrack::GuestIntro : MusicTrack::Lobby);
        ASSERT_TRUE(Click(c.fromIntro ? "button_next" : "button_back"));
        ASSERT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        Pass();
    }
}

TEST_F(Cards, TheGuestSheetShowsEachStatusAndLeavesEntriesBeyondItsSlotsOut)
{
    std::string list = "<GameLevels><Day dayNum=\"1\">";
    for (int i = 1; i <= 16; ++i)
        list += "<level name=\"j" + std::to_string(i) + "\" guestID=\"Jason\"/>";
    for (int i = 1; i <= 12; ++i)
        list += "<level name=\"z" + std::to_string(i) + "\" guestID=\"Zoe\"/>";
    for (int i = 1; i <= 13; ++i)
        list += "<level name=\"h" + std::to_string(i) + "\" guestID=\"Heather\"/>";
    list += "</Day><EndlessLevels/></GameLevels>";
    data.Write("data/GameLevels.xml", list);
    Reload();
    // The four statuses, and one outside them.
    const Status statuses[] = {Status::Locked, Status::InProgress, Status::Completed, Status::Expert,
                               Status(4)};
    for (int i = 0; i < 5; ++i)
        Catalogue().Find("z" + std::to_string(i + 1))->status = statuses[i];

    Show(new LevelSelectIntroMode(GuestID::Zoe, "z1", {.fromLevelIntro = false}));
    const std::vector<SceneNode*> zoe = Entries(Row(ScreenNode::GuestRefSlot12)->GetFirstChild());
    ASSERT_EQ(zoe.size(), 12u);
    const bool shown[5][4] = {// locked, unlocked, check, star
                              {true, false, false, false},
                              {false, true, false, false},
                              {false, true, true, false},
                              {false, true, false, true},
                              {false, false, false, false}};
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(Shown(Row(ScreenNode::EntryLocked, zoe[size_t(i)])), shown[i][0]);
        EXPECT_EQ(Shown(Row(ScreenNode::EntryUnlocked, zoe[size_t(i)])), shown[i][1]);
        EXPECT_EQ(Shown(Row(ScreenNode::EntryCheck, zoe[size_t(i)])), shown[i][2]);
        EXPECT_EQ(Shown(Row(ScreenNode::EntryStar, zoe[size_t(i)])), shown[i][3]);
    }
    // The star bobs five up and five below its place, two seconds a round.
    SceneNode* star = Row(ScreenNode::EntryStar, zoe[3]);
    const float y = star->GetLocalState().y;
    Steps(50);
    EXPECT_NEAR(star->GetLocalState().y, y - 5.0f, 1e-3f);
    Steps(50);
    EXPECT_NEAR(star->GetLocalState().y, y + 5.0f, 1e-3f);
    Steps(50);
    EXPECT_NEAR(star->GetLocalState().y, y - 5.0f, 1e-3f);

    // The sheet by the guest's count of levels: up to 12 the short one, from 13 the long one, whose
    // slots end at 15 (the sixteenth entry nowhere in the scene).
    struct Sheet
    {
        GuestID guest;
        const char* level;
        size_t levels;
        bool longSheet;
        size_t entries;
    };
    for (const Sheet& c :
         {Sheet{GuestID::Zoe, "z1", 12, false, 12}, Sheet{GuestID::Heather, "h1", 13, true, 13},
          Sheet{GuestID::Jason, "j1", 16, true, 15}})
    {
        SCOPED_TRACE(c.level);
        Show(new LevelSelectIntroMode(c.guest, c.level, {.fromLevelIntro = false}));
        bool second = false;
        ASSERT_EQ(Catalogue().GetGuestLevels(c.guest, c.level, second).size(), c.levels);
        SceneNode* place = Row(c.longSheet ? ScreenNode::GuestRefSlot15 : ScreenNode::GuestRefSlot12);
        ASSERT_EQ(place->GetChildCount(), 1u);
        EXPECT_EQ(Row(c.longSheet ? ScreenNode::GuestRefSlot12 : ScreenNode::GuestRefSlot15)->GetChildCount(),
                  0u);
        EXPECT_EQ(Entries(place->GetFirstChild()).size(), c.entries);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// ---- the level's card ----

const char* kLevelFile = R"(<Level><LevelData>
  <Quota expertTime="%E" timeLimit="%T"/>
  <GremlinFactory>%Z</GremlinFactory>
</LevelData></Level>)";

std::string LevelFile(const std::string& expert, const std::string& limit, const std::string& zones)
{
    std::string text = kLevelFile;
    text.replace(text.find("%E"), 2, expert);
    text.replace(text.find("%T"), 2, limit);
    text.replace(text.find("%Z"), 2, zones);
    return text;
}

TEST_F(Cards, TheLevelCardShowsTheGoalsOfTheLevelFile)
{
    data.Write("data/GameLevels.xml", R"(<GameLevels><Day dayNum="1">
        <level name="T-01" guestID="Harley" firstAppt="1"/><level name="T-02" guestID="Harley"/>
        <level name="T-03" guestID="Zoe" firstAppt="1"/></Day><EndlessLevels/></GameLevels>)");
    const std::string king = R"(<FactoryZone type="King"><Type/><Type/></FactoryZone>
        <FactoryZone type="Normal"><Type/><Type/><Type/></FactoryZone><FactoryZone type="King"><Type/></FactoryZone>)";
    data.Write("data/T-01.xml", LevelFile("89.9", "600", king));
    data.Write("data/T-02.xml",
               LevelFile("59", "75.99", R"(<FactoryZone type="Normal"><Type/></FactoryZone>)"));
    Reload();

    struct Case
    {
        const char* level;
        Status status;
        int megaTics;
        const wchar_t* expert;
        const wchar_t* session;
        bool guestFile;
    };
    for (const Case& c : {Case{"T-01", Status::InProgress, 3, L"01:29", L"10:00", true},
                          Case{"T-01", Status::Completed, 3, L"01:29", L"10:00", false},
                          Case{"T-01", Status::Expert, 3, L"01:29", L"10:00", false},
                          Case{"T-02", Status::InProgress, 0, L"00:59", L"01:15", false}})
    {
        SCOPED_TRACE(std::string(c.level) + " " + NameOf(c.status));
        Catalogue().Find(c.level)->status = c.status;
        Catalogue().SetCurrentLevel(c.level);
        auto* card = Show(new LevelIntroMode);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(card->GetMegaTicKinds(), c.megaTics);
        // The guest's file comes over the card in the same pass.
        auto* file = dynamic_cast<LevelSelectIntroMode*>(Top());
        ASSERT_EQ(file != nullptr, c.guestFile);
        if (file)
        {
            EXPECT_TRUE(file->IsFromLevelIntro());
            EXPECT_EQ(file->GetLevelName(), c.level);
            PopMode();
            Pass();
        }
        ASSERT_EQ(Top(), card);
        SceneNode* panel =
            Row(c.megaTics ? ScreenNode::IntroGoalTime : ScreenNode::IntroGoalTimeTic, nullptr);
        EXPECT_TRUE(Shown(panel));
        EXPECT_FALSE(Shown(Row(c.megaTics ? ScreenNode::IntroGoalTimeTic : ScreenNode::IntroGoalTime)));
        EXPECT_EQ(TextOf(panel->FindChild("Expert")), GetGameText("LevelIntro.Expert") + c.expert);
        EXPECT_EQ(TextOf(panel->FindChild("Session")), GetGameText("LevelIntro.Session") + c.session);
        EXPECT_EQ(TextOf(panel->FindChild("guestFullName")), GetGuestFullName(GuestID::Harley));
        // Without King zones the count stays off the card (the text is authored empty).
        EXPECT_EQ(TextOf(Row(ScreenNode::IntroGoalTime)->FindChild("MegaNegaTics")),
                  c.megaTics ? GetGameText("LevelIntro.MegaTics") + L"3" : L"");
        // The guest's head: frame 1 of the guest's icons.
        auto* icon = dynamic_cast<StaticSpriteNode*>(panel->FindChild("head_attach")->GetFirstChild());
        ASSERT_NE(icon, nullptr);
        ASSERT_NE(Frame("Harley_icon", 1), nullptr);
        EXPECT_EQ(icon->GetImage(), Frame("Harley_icon", 1));
        EXPECT_EQ(TextOf(Row(ScreenNode::IntroTitle)), GetDateAndTimeText(c.level));
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Intro);
        ASSERT_TRUE(Click("button_next"));
        ASSERT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        Pass();
    }

    // A level without its file: the box, an empty goal panel, and the card still closes.
    Catalogue().Find("T-03")->status = Status::InProgress;
    Catalogue().SetCurrentLevel("T-03");
    Show(new LevelIntroMode);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading T-03.xml. Fix the problem and press F5 to reload");
    ASSERT_NE(dynamic_cast<LevelSelectIntroMode*>(Top()), nullptr); // the first appointment's
    PopMode();
    Pass();
    EXPECT_TRUE(Shown(Row(ScreenNode::IntroGoalTimeTic)));
    EXPECT_EQ(TextOf(Row(ScreenNode::IntroGoalTimeTic)->FindChild("Expert")),
              GetGameText("LevelIntro.Expert"));
    ASSERT_TRUE(Click("button_next"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

// ---- a Tic kind's introduction ----

TEST_F(Cards, ABasicKindsMoviePlaysBeforeItsPictureAndTheScreenStandsStill)
{
    // The game screen beneath needs a current level; one that introduces no kind of its own.
    Reload();
    RecordSounds();
    Catalogue().SetCurrentLevel("1-02 Jillian");
    Show(new GameMode);
    Show(new TicIntroMode("neurotic"));
    // The movie comes over it in the same pass.
    auto* movie = dynamic_cast<FlashInterstitialMode*>(Top());
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->GetPath(), "basics_part01");
    ASSERT_EQ(looper->GetStack().size(), 3u);
    auto* intro = dynamic_cast<TicIntroMode*>(looper->GetStack()[1]);
    ASSERT_NE(intro, nullptr);
    PopMode();
    Pass();
    ASSERT_EQ(Top(), intro);
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::TicIntro);
    // Activated again (after a pop-up over it): the track goes on, not started a second time.
    Show(new SceneApplicationMode);
    PopMode();
    Pass();
    ASSERT_EQ(Top(), intro);
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::TicIntro);
    EXPECT_EQ(std::count(played.begin(), played.end(), "MUSIC_TicIntro"), 1);

    // Nothing of it is stepped: a task on its picture waits.
    auto* picture = dynamic_cast<StaticSpriteNode*>(Row(ScreenNode::TicIntroAttach)->GetFirstChild());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetImage(), Image("TicIntro_neurotic"));
    picture->GetTasks().Append(new NodeAlphaTask(0.0f, 0.1f));
    Steps(10);
    EXPECT_EQ(picture->GetLocalState().color.a, 1.0f);
    ASSERT_TRUE(Click("button_next"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();

    for (const char* kind : {"chaotic", "no-such-kind"})
    {
        SCOPED_TRACE(kind);
        Show(new TicIntroMode(kind));
        EXPECT_TRUE(Requests().empty());
        auto* shown = dynamic_cast<StaticSpriteNode*>(Row(ScreenNode::TicIntroAttach)->GetFirstChild());
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->HasImage(), std::string(kind) == "chaotic");
        ASSERT_TRUE(Click("button_next"));
        Pass();
    }
    EXPECT_EQ(TicIntroMode::MovieOf("nihilistic"), std::string("basics_part02"));
    EXPECT_EQ(TicIntroMode::MovieOf("dietetic"), std::string("basics_part03"));
    EXPECT_TRUE(boxes.boxes.empty());
}

// The screens without a way out when their group fails: each goes after its box, uncovering the
// screen beneath.
TEST_F(Cards, AScreenWhoseGroupFailsGoesAfterItsBox)
{
    Reload();
    Catalogue().SetCurrentLevel("1-01 Harley");
    struct Case
    {
        const char* group;
        SceneApplicationMode* (*make)();
    };
    const Case cases[] = {
        {"Tic_Intro", []() -> SceneApplicationMode* { return new TicIntroMode("chaotic"); }},
        {"LevelIntroMode", []() -> SceneApplicationMode* { return new LevelIntroMode; }},
        {"Level_Select_Introduction",
         []() -> SceneApplicationMode*
         { return new LevelSelectIntroMode(GuestID::Harley, "1-01 Harley", {.fromLevelIntro = true}); }},
    };
    auto* beneath = Show(new SceneApplicationMode);
    MusicManager::Instance().Play(MusicTrack::Lobby, false);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.group);
        boxes.boxes.clear();
        AddGroup(c.group, "<resources><broken></resources>");
        Show(c.make());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, L"There was an error loading " + FromUtf8(c.group) +
                                              L".xml. Fix the problem and press F5 to reload");
        EXPECT_EQ(Top(), beneath);
        EXPECT_EQ(looper->GetStack().size(), 1u);
        EXPECT_TRUE(Requests().empty());
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Lobby);
    }
}

// ---- endless selection ----

TEST_F(Cards, EndlessSelectionOpensUnlockedGuestsAndBeginsTheChosenLevel)
{
    Reload();
    auto* select = Show(new EndlessLevelSelectMode);
    EXPECT_TRUE(Catalogue().endless);
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessLockedText)));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessIntroText)));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessRecordTime)));
    for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
    {
        EXPECT_FALSE(IsEnabled((std::string("button_") + guest).c_str())) << guest;
        EXPECT_FALSE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild(std::string("overlay_") + guest)));
    }
    EXPECT_FALSE(IsEnabled("buttonBeginTraining"));
    select->BeginTraining();
    EXPECT_TRUE(Requests().empty());
    PopMode();
    Pass();

    SetRecord(L"KIVO::EndlessUnlock::Harley", 1);
    SetRecord(L"KIVO::EndlessUnlock::Zoe", 1);
    SetRecord(L"KIVO::EndlessUnlock::Jason", 2);
    select = Show(new EndlessLevelSelectMode);
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessLockedText)));
    for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
        EXPECT_EQ(IsEnabled((std::string("button_") + guest).c_str()),
                  std::string(guest) == "Harley" || std::string(guest) == "Zoe")
            << guest;

    for (const auto& [seconds, time] : {std::pair{59, L"00:59"}, {600, L"10:00"}, {6000, L"100:00"}})
    {
        SetRecord(L"KIVO::EndlessHighScore::Harley", seconds);
        ASSERT_TRUE(Click("button_harley"));
        EXPECT_EQ(TextOf(Row(ScreenNode::EndlessTextRecordTime)),
                  GetGameText("EndlessSelect.LevelHighScore") + time);
    }
    EXPECT_EQ(select->GetSelectedLevel(), "Endless Harley");
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Harley")));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Begin")));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Zoe")));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessRecordTime)->FindChild("Harley")));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessIntroText)));
    ASSERT_TRUE(Click("button_zoe"));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Zoe")));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Harley")));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessRecordTime)->FindChild("Harley")));
    ASSERT_TRUE(Click("button_harley"));

    ASSERT_TRUE(Click("buttonBeginTraining"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}}));
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), "Endless Harley");
    EXPECT_TRUE(Catalogue().endless);
    Pass();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Cards, AGuestWithoutAnEndlessLevelLeavesTheSelectionAsItWas)
{
    data.Write("data/GameLevels.xml", R"(<GameLevels><Day dayNum="1"><level name="a" guestID="Zoe"/></Day>
        <EndlessLevels><level name="E-1" guestID="Harley"/><level name="E-2" guestID="Harley"/></EndlessLevels>
        </GameLevels>)");
    Reload();
    auto* select = Show(new EndlessLevelSelectMode);
    select->SelectGuest(GuestID::Zoe);
    EXPECT_FALSE(IsEnabled("buttonBeginTraining"));
    EXPECT_EQ(select->GetSelectedLevel(), "");
    select->SelectGuest(GuestID::Harley);
    EXPECT_EQ(select->GetSelectedLevel(), "E-2"); // the last of Harley's
    select->SelectGuest(GuestID::Zoe);
    EXPECT_EQ(select->GetSelectedLevel(), "E-2");
    EXPECT_TRUE(IsEnabled("buttonBeginTraining"));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessOverlays)->FindChild("overlay_Harley")));
    EXPECT_TRUE(Shown(Row(ScreenNode::EndlessRecordTime)));
    EXPECT_FALSE(Shown(Row(ScreenNode::EndlessRecordTime)->FindChild("Harley")));

    // A list that cannot be read: its box, and the selection stays.
    data.Write("data/GameLevels.xml", "<GameLevels/>");
    select->SelectGuest(GuestID::Miranda);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(select->GetSelectedLevel(), "E-2");
    EXPECT_TRUE(IsEnabled("buttonBeginTraining"));
}

} // namespace
