#include "Screens/LevelSelectModes.h"

#include "Framework/AccountManager.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/MusicManager.h"
#include "Game/TutorialBubble.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/ButtonNode.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelSelectIntroMode.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"

#include "RealDataFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace Kestrin;
using namespace ScreenTest;
using Status = LevelCompletionStatus;

namespace
{

class LevelSelect : public RealDataFixture
{
protected:
    LevelSelect()
    {
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
        RecordSounds();
        // A start-up group of the game: the tutorials' bubble.
        ResourceManager::Instance()->LoadFile(L"Tutorial_Window", nullptr, true);
        Reload();
    }
    static GameLevels& Catalogue() { return GameLevels::Instance(); }
    // The level list of the data tree in use, and no progress.
    static void Reload()
    {
        Catalogue().current = nullptr;
        Catalogue().LoadLevelList();
    }
    static void SetStatus(const std::string& level, Status status)
    {
        Catalogue().Find(level)->status = status;
    }
    // A list of our own in the catalogue: each day a list of statuses, one level each ("d<day>-<n>",
    // Harley's); the calendar's tutorial already seen.
    void UseDays(const std::vector<std::vector<Status>>& days)
    {
        std::ostringstream xml;
        xml << "<GameLevels>\n";
        for (size_t d = 0; d < days.size(); ++d)
        {
            xml << "  <Day dayNum=\"" << d + 1 << "\">\n";
            for (size_t n = 0; n < days[d].size(); ++n)
                xml << "    <level name=\"d" << d + 1 << "-" << n + 1 << "\" guestID=\"Harley\"/>\n";
            xml << "  </Day>\n";
        }
        xml << "  <EndlessLevels/>\n</GameLevels>\n";
        data.Write("data/GameLevels.xml", xml.str());
        Reload();
        for (size_t d = 0; d < days.size(); ++d)
            for (size_t n = 0; n < days[d].size(); ++n)
                SetStatus("d" + std::to_string(d + 1) + "-" + std::to_string(n + 1), days[d][n]);
        SetRecord(L"KIVO::ShowTutorial::Calendar", 0);
    }

    SceneNode* Row(ScreenNode row, SceneNode* start = nullptr) const
    {
        return FindScreenNode(start ? start : dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode(), row);
    }
    static std::wstring TextOf(SceneNode* node)
    {
        auto* text = dynamic_cast<TextSpriteComponent*>(node);
        return text ? text->GetText() : L"<no text node>";
    }
    static bool Shown(SceneNode* node) { return node && node->GetLocalState().visible; }
    int Played(const std::string& sound) const
    {
        return int(std::count(played.begin(), played.end(), sound));
    }
    bool HasBubble() const { return Top()->FindObject(GameNames::TutorialRootNode.Get()) != nullptr; }
    // The open tutorial bubble hangs under `parent` with the tutorial's picture, right of and below
    // its point (both points are left of and above the middle), 20 px off it.
    void ExpectBubble(SceneNode* parent, int tutorial, float x, float y) const
    {
        auto* root = dynamic_cast<SceneNode*>(Top()->FindObject(GameNames::TutorialRootNode.Get()));
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->GetParent(), parent);
        SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble);
        ASSERT_NE(bubble, nullptr);
        EXPECT_FLOAT_EQ(bubble->GetLocalState().x, x + 20.0f);
        EXPECT_FLOAT_EQ(bubble->GetLocalState().y, y + 20.0f);
        SceneNode* attach = FindTutorialPart(root, NodePath::TutorialTextAttach);
        ASSERT_NE(attach, nullptr);
        auto* picture = dynamic_cast<StaticSpriteNode*>(attach->GetFirstChild());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->GetImage(), Frame(GameNames::TutorialImages.Get().c_str(), tutorial));
    }
    // Frame k of an image list of loaded images.
    static IImage* Frame(const char* list, int k)
    {
        auto* images = dynamic_cast<ImageList*>(GetResource<IImageList>(list).second);
        return images ? images->GetImageAt(k) : nullptr;
    }
    // A click through the main loop's input on a node, answering whether its button took it.
    bool ClickButton(SceneNode* node)
    {
        auto* button = dynamic_cast<ButtonNode*>(node);
        if (!button)
            return false;
        bool clicked = false;
        const auto connection = button->clickSignal.Connect([&](ButtonNode*) { clicked = true; });
        ClickNode(button);
        if (!clicked)
            button->clickSignal.Disconnect(connection);
        return clicked;
    }
    // The appointments of the day screen on top, in order.
    std::vector<SceneNode*> Appointments() const
    {
        std::vector<SceneNode*> out;
        SceneNode* format = Row(ScreenNode::DayComboAttach)->GetFirstChild();
        for (size_t k = 1; format && k <= size_t(kMaxAppointments); ++k)
            if (SceneNode* slot = format->FindChild("slot_" + std::to_string(k)))
                out.push_back(slot->GetFirstChild());
        return out;
    }
    SceneNode* GuestButton(SceneNode* combo) const
    {
        return Row(ScreenNode::DayButton, Row(ScreenNode::ComboLevelButtonAttach, combo)->GetFirstChild());
    }
};

TEST_F(LevelSelect, AFreshProfileWalksFromTheMenuThroughItsFirstDayIntoTheFirstLevel)
{
    Show(new MainMenuMode(false));
    ASSERT_TRUE(Click("play_tanglewisp"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "LevelSelectCalendarMode"}}));
    EXPECT_EQ(QueuedAs<LevelSelectCalendarMode>(0)->GetFinishedDay(), 0);
    Catalogue().endless = true;
    Pass();

    // The real list for a new profile: day 1 open, day 2 closed, so nothing after it.
    auto* calendar = dynamic_cast<LevelSelectCalendarMode*>(Top());
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(Catalogue().endless);
    SceneNode* day1 = calendar->GetDayButton(1);
    ASSERT_NE(day1, nullptr);
    EXPECT_EQ(calendar->GetDayButton(2), nullptr);
    EXPECT_FLOAT_EQ(day1->GetLocalState().x, 89.0f);
    EXPECT_FLOAT_EQ(day1->GetLocalState().y, 126.0f);
    EXPECT_EQ(day1->GetParent(), Row(ScreenNode::CalendarDayAttach));
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Lobby);
    // The calendar tutorial over the grid, once per profile.
    ExpectBubble(Row(ScreenNode::CalendarDayAttach), 6, 150.0f, 175.0f);
    EXPECT_EQ(AccountManager::Instance()->GetCurrentAccount()->GetInt(L"KIVO::ShowTutorial::Calendar", 1), 0);

    ASSERT_TRUE(ClickButton(Row(ScreenNode::DayButton, day1)));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelSelectDayMode"}}));
    EXPECT_EQ(QueuedAs<LevelSelectDayMode>(0)->GetDay(), 1);
    Pass();

    // Day 1: the first appointment open, the others locked; the day tutorial over the schedule.
    ExpectBubble(Row(ScreenNode::DayComboAttach), 7, 325.0f, 255.0f);
    EXPECT_EQ(AccountManager::Instance()->GetCurrentAccount()->GetInt(L"KIVO::ShowTutorial::Day", 1), 0);
    const std::vector<SceneNode*> combos = Appointments();
    ASSERT_EQ(combos.size(), 3u);
    EXPECT_FALSE(Shown(Row(ScreenNode::ComboOverlay, combos[0])));
    EXPECT_TRUE(Shown(Row(ScreenNode::ComboOverlay, combos[2])));
    EXPECT_FALSE(ClickButton(GuestButton(combos[2])));
    EXPECT_TRUE(Requests().empty());
    // The day's date from its appointments' "Monday 4 May, 9:00 AM".
    EXPECT_EQ(TextOf(Row(ScreenNode::DayWeekDay)), L"Monday 4 May");

    ASSERT_TRUE(ClickButton(GuestButton(combos[0])));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}, {1, "LevelIntroMode"}}));
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), "1-01 Harley");
    Pass();

    // Harley's first appointment: the file comes over the card, with its music.
    auto* file = dynamic_cast<LevelSelectIntroMode*>(Top());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->IsFromLevelIntro());
    EXPECT_EQ(file->GetGuest(), GuestID::Harley);
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::GuestIntro);
    ASSERT_TRUE(Click("button_next"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();
    ASSERT_NE(dynamic_cast<LevelIntroMode*>(Top()), nullptr);
    ASSERT_TRUE(Click("button_next"));
    Pass();
    EXPECT_NE(dynamic_cast<GameMode*>(Top()), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());

    // Back in the calendar later: no tutorial again; endless play is the other door.
    Show(new LevelSelectCalendarMode(0));
    EXPECT_FALSE(HasBubble());
    Show(new MainMenuMode(false));
    ASSERT_TRUE(Click("play_neverending"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{2, "EndlessLevelSelectMode"}}));
}

TEST_F(LevelSelect, TheCalendarShowsDaysUpToTheFirstClosedOneInItsGrid)
{
    const Status C = Status::Completed, E = Status::Expert, I = Status::InProgress, L = Status::Locked;
    std::vector<std::vector<Status>> days = {{C, E, C}, {C, I}, {I}};
    for (int d = 4; d <= 10; ++d)
        days.push_back({I, L});
    days.push_back({L, L});
    days.push_back({I, I});
    UseDays(days);
    AccountManager::Instance()->GetCurrentAccount()->SetBool(L"KIVO::MovieUnlocking::2", true);

    auto* calendar = Show(new LevelSelectCalendarMode(0));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"Gamelevels.xml error.");
    EXPECT_EQ(boxes.boxes[0].text, L"Day 3 must have 2-5 appointments.");
    for (int day = 1; day <= 12; ++day)
    {
        SCOPED_TRACE(day);
        SceneNode* button = calendar->GetDayButton(day);
        ASSERT_EQ(button != nullptr, day != 3 && day <= 10);
        if (!button)
            continue;
        EXPECT_FLOAT_EQ(button->GetLocalState().x, float((day - 1) % 5 * 116 + 89));
        EXPECT_FLOAT_EQ(button->GetLocalState().y, float((day - 1) / 5 * 94 + 126));
        // The current look carries the pulsing highlight; the completed one does not.
        int highlights = 0;
        for (SceneNode* child = button->GetFirstChild(); child; child = child->GetNextSibling())
            highlights += dynamic_cast<StaticSpriteNode*>(child) != nullptr;
        EXPECT_EQ(highlights, day == 1 ? 0 : 1);
        // The icon goes last, with one treatment per appointment.
        SceneNode* icon = button->GetLastChild();
        for (size_t n = 1; n <= days[size_t(day - 1)].size(); ++n)
        {
            SceneNode* slot = icon->FindChild("slot_" + std::to_string(n));
            ASSERT_NE(slot, nullptr);
            ASSERT_NE(slot->GetFirstChild(), nullptr);
            const Status status = days[size_t(day - 1)][n - 1];
            EXPECT_EQ(Shown(Row(ScreenNode::CalendarExpertIcon, slot->GetFirstChild())), status == E);
            // The guest's icon: in progress, completed (expert too) or locked.
            auto* picture = dynamic_cast<AnimatedSpriteNode*>(
                Row(ScreenNode::CalendarTreatmentIcon, slot->GetFirstChild()));
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->GetSpriteType(), GetSpriteType("Harley_iconSpriteType").second);
            const char* animation = status == I ? "inprogress" : status == L ? "locked" : "completed";
            EXPECT_TRUE(picture->IsPlayingAnimation(MakeName(animation))) << animation;
        }
    }
    EXPECT_FLOAT_EQ(calendar->GetDayButton(6)->GetLocalState().y, 220.0f);
    EXPECT_FLOAT_EQ(calendar->GetDayButton(10)->GetLocalState().x, 553.0f);

    // The highlight pulses: to full over a second, to nothing over the next.
    SceneNode* highlight = calendar->GetDayButton(2)->GetFirstChild()->GetNextSibling();
    Steps(50);
    EXPECT_NEAR(highlight->GetLocalState().color.a, 1.0f, 1e-4f);
    Steps(25);
    EXPECT_NEAR(highlight->GetLocalState().color.a, 0.5f, 1e-4f);

    // A completed day still opens; the unlocked movie plays, the others stay off.
    ASSERT_TRUE(ClickButton(Row(ScreenNode::DayButton, calendar->GetDayButton(1))));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelSelectDayMode"}}));
    EXPECT_EQ(QueuedAs<LevelSelectDayMode>(0)->GetDay(), 1);
    Pass();
    PopMode();
    Pass();
    EXPECT_FALSE(IsEnabled("scene1"));
    EXPECT_FALSE(IsEnabled("scene3"));
    ASSERT_TRUE(Click("scene2"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "FlashInterstitialMode"}}));
    EXPECT_EQ(QueuedAs<FlashInterstitialMode>(0)->GetPath(), "AllAnimations/interstitial2");
    EXPECT_EQ(Played("SFX_NewDayUnlock"), 0);
}

// A finished day animates the next shown day (over a bad one in between), but not the last one.
TEST_F(LevelSelect, TheDayAfterTheFinishedOneFadesInWithSparkles)
{
    const Status C = Status::Completed, I = Status::InProgress;
    std::vector<std::vector<Status>> days = {{C, C}, {C, C}, {C}, {I, I}};
    UseDays(days);

    struct Case
    {
        int finishedDay;
        int animated; // 0 for none
    };
    // The look's button, the highlight on a current day, the icon.
    auto Own = [](int day) { return day == 4 ? 3u : 2u; };
    for (const Case c : {Case{0, 0}, Case{1, 2}, Case{2, 4}, Case{4, 0}, Case{3, 0}})
    {
        SCOPED_TRACE(c.finishedDay);
        played.clear();
        boxes.boxes.clear();
        auto* calendar = Show(new LevelSelectCalendarMode(c.finishedDay));
        EXPECT_EQ(Played("SFX_NewDayUnlock"), c.animated ? 1 : 0);
        for (int day : {1, 2, 4})
        {
            SceneNode* button = calendar->GetDayButton(day);
            ASSERT_NE(button, nullptr);
            // Sparkles beyond the day's own children, and the old look on the finished day.
            const uint32_t own = Own(day);
            EXPECT_EQ(button->GetChildCount(),
                      own + (day == c.animated ? 25u : 0u) + (day == c.finishedDay && c.animated ? 1u : 0u));
            EXPECT_EQ(button->GetLocalState().color.a, day == c.animated ? 0.0f : 1.0f);
        }
        if (!c.animated)
            continue;
        SceneNode* next = calendar->GetDayButton(c.animated);
        SceneNode* oldLook = calendar->GetDayButton(c.finishedDay)->GetLastChild();
        const ObjectHandle oldHandle = oldLook->GetHandle();
        Steps(50);
        EXPECT_NEAR(next->GetLocalState().color.a, 0.5f, 1e-4f);
        EXPECT_NEAR(oldLook->GetLocalState().color.a, 0.5f, 1e-4f);
        // The sparkles go after a second; the old look after two.
        Steps(3);
        EXPECT_EQ(next->GetChildCount(), Own(c.animated));
        Steps(49);
        EXPECT_NEAR(next->GetLocalState().color.a, 1.0f, 1e-4f);
        EXPECT_FALSE(calendar->IsValidHandle(oldHandle));
    }
}

TEST_F(LevelSelect, TheDayShowsEachStatusAndStartsOpenLevelsOnly)
{
    SetRecord(L"KIVO::ShowTutorial::Day", 0);
    SetStatus("1-01 Harley", Status::Expert);
    SetStatus("1-02 Jillian", Status::Completed);
    SetStatus("1-03 Harley", Status::Locked);
    Show(new LevelSelectDayMode(1));
    EXPECT_FALSE(HasBubble());
    const std::vector<SceneNode*> combos = Appointments();
    ASSERT_EQ(combos.size(), 3u);
    struct Row_
    {
        bool star, check, overlay, enabled;
    };
    const Row_ expected[] = {
        {true, false, false, true}, {false, true, false, true}, {false, false, true, false}};
    for (size_t k = 0; k < combos.size(); ++k)
    {
        SCOPED_TRACE(k);
        EXPECT_EQ(Shown(Row(ScreenNode::ComboStar, combos[k])), expected[k].star);
        EXPECT_EQ(Shown(Row(ScreenNode::ComboCheckmark, combos[k])), expected[k].check);
        EXPECT_EQ(Shown(Row(ScreenNode::ComboOverlay, combos[k])), expected[k].overlay);
        EXPECT_EQ(dynamic_cast<ButtonNode*>(GuestButton(combos[k]))->IsEnabled(), expected[k].enabled);
        EXPECT_EQ(dynamic_cast<ButtonNode*>(Row(ScreenNode::ComboProfileButton, combos[k]))->IsEnabled(),
                  expected[k].enabled);
        // The k-th time label, whatever the guest.
        auto* label =
            dynamic_cast<StaticSpriteNode*>(Row(ScreenNode::ComboApptTime, combos[k])->GetFirstChild());
        ASSERT_NE(label, nullptr);
        ASSERT_NE(Frame("ApptTimeImages", int(k)), nullptr);
        EXPECT_EQ(label->GetImage(), Frame("ApptTimeImages", int(k)));
    }
    // The star bobs 10 px up and back over two seconds.
    SceneNode* star = Row(ScreenNode::ComboStar, combos[0]);
    const float y = star->GetLocalState().y;
    Steps(50);
    EXPECT_NEAR(star->GetLocalState().y, y - 10.0f, 1e-3f);
    Steps(50);
    EXPECT_NEAR(star->GetLocalState().y, y, 1e-3f);

    EXPECT_FALSE(ClickButton(Row(ScreenNode::ComboProfileButton, combos[2])));
    ASSERT_TRUE(ClickButton(Row(ScreenNode::ComboProfileButton, combos[1])));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelSelectIntroMode"}}));
    auto* file = QueuedAs<LevelSelectIntroMode>(0);
    EXPECT_EQ(file->GetGuest(), GuestID::Jillian);
    EXPECT_EQ(file->GetLevelName(), "1-02 Jillian");
    EXPECT_FALSE(file->IsFromLevelIntro());
    Pass();
    ASSERT_TRUE(Click("button_back"));
    Pass();
    ASSERT_TRUE(Click("button_back"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

// A day chosen by "dayNum", its levels unknown to the catalogue: shown locked, the date cut from
// the last appointment's text before its first comma (the whole text without one); a bad count
// names the day's number.
TEST_F(LevelSelect, TheDayIsFoundByItsNumberAndSurvivesUnknownLevels)
{
    SetRecord(L"KIVO::ShowTutorial::Day", 0);
    data.Write("data/GameLevels.xml",
               "<GameLevels>\n"
               "  <Day dayNum=\"4\"><level name=\"a\" guestID=\"Zoe\"/><level name=\"b\" "
               "guestID=\"Zoe\"/></Day>\n"
               "  <Day dayNum=\"3\"><level name=\"x\" guestID=\"Zoe\"/><level name=\"y\" "
               "guestID=\"Heather\"/></Day>\n"
               "  <Day dayNum=\"5\"><level name=\"z\" guestID=\"Zoe\"/></Day>\n"
               "  <Day dayNum=\"6\"><level name=\"p\" guestID=\"Zoe\"/><level name=\"q\" "
               "guestID=\"Zoe\"/></Day>\n"
               "</GameLevels>\n");
    AddGroup("DayTexts", R"(<resources><string name="x.dateandtime" value="Monday, 8:00"/>
        <string name="y.dateandtime" value="Tuesday, 9:00"/><string name="b.dateandtime" value="Noon"/>
        </resources>)");
    ResourceManager::Instance()->LoadFile(L"DayTexts", nullptr, true);

    // Without its combo layout an appointment is left out, but still dates the day.
    std::ifstream committed(std::string(KESTRIN_SOURCE_DIR) + "/data/groups/Level_Select_Day.xml");
    std::string group(std::istreambuf_iterator<char>(committed), {});
    group.replace(group.find("\"guest_comboLayout\""), 19, "\"other_comboLayout\"");
    AddGroup("Level_Select_Day", group);
    Show(new LevelSelectDayMode(3));
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Appointments(), std::vector<SceneNode*>(2, nullptr));
    EXPECT_EQ(TextOf(Row(ScreenNode::DayWeekDay)), L"Tuesday");
    PopMode();
    Pass();
    ResourceManager::Instance()->UnloadFile(L"Level_Select_Day");
    std::filesystem::remove(data.Path() + "/data/groups/Level_Select_Day.xml");
    boxes.boxes.clear();

    const std::pair<int, const wchar_t*> dates[] = {{3, L"Tuesday"}, {4, L"Noon"}, {6, L"Text not Found"}};
    for (const auto& [day, date] : dates)
    {
        SCOPED_TRACE(day);
        Show(new LevelSelectDayMode(day));
        EXPECT_TRUE(boxes.boxes.empty());
        const std::vector<SceneNode*> combos = Appointments();
        ASSERT_EQ(combos.size(), 2u);
        for (SceneNode* combo : combos)
            EXPECT_TRUE(Shown(Row(ScreenNode::ComboOverlay, combo)));
        EXPECT_EQ(TextOf(Row(ScreenNode::DayWeekDay)), date);
    }
    EXPECT_NE(log.Text().find("Level y is not in the catalogue"), std::string::npos);

    Show(new LevelSelectDayMode(5));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"Day 5 must have 2-5 appointments.");

    // A list that cannot be read (a Day without its number, a level without its name): the list's
    // own box, and the page keeps its way out, on the day as on the calendar.
    data.Write(
        "data/GameLevels.xml",
        "<GameLevels><Day><level guestID=\"Zoe\"/><level name=\"a\" guestID=\"Zoe\"/></Day></GameLevels>");
    struct Unreadable
    {
        SceneApplicationMode* (*make)();
        const char* way;
        Queued out;
    };
    const Unreadable screens[] = {
        {[]() -> SceneApplicationMode* { return new LevelSelectDayMode(1); }, "button_back", {3, ""}},
        {[]() -> SceneApplicationMode* { return new LevelSelectCalendarMode(0); },
         "button_mainmenu",
         {2, "MainMenuMode"}},
    };
    for (const Unreadable& c : screens)
    {
        SCOPED_TRACE(c.way);
        boxes.boxes.clear();
        Show(c.make());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption,
                  L"There was an error loading GameLevels.xml. Fix the problem and press F5 to reload");
        ASSERT_TRUE(Click(c.way));
        EXPECT_EQ(Requests(), std::vector<Queued>{c.out});
        Pass();
    }
}

} // namespace
