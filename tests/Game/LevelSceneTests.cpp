// The level in a minimal game screen: the playfield, banner and HUD nodes it looks up, small
// authored level files, and the pop-ups it hangs in the scene.
#include "Base/Random.h"
#include "Framework/AccountManager.h"
#include "Framework/ValueResources.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/MeterNodes.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"

#include "GameStubs/GameFakes.h"
#include "PlayfieldTestSupport.h"
#include "Support/RecordedSounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace GameTest;

namespace
{

const std::string LevelResources = R"(<resources>
  <testfont name="CustomSpearFont" advance="8" lineHeight="12"/>
  <testfont name="CustomSpearFontLarge" advance="16" lineHeight="24"/>
  <testimage name="bannerMSG_normal" width="300" height="60"/>
  <testimage name="bannerMSG_endless" width="300" height="60"/>
  <testimage name="bannerMSG_warning" width="300" height="60"/>
  <testimage name="bannerMSG_lastWarning" width="300" height="60"/>
  <testimage name="bannerMSG_gunkClear" width="300" height="60"/>
  <testimage name="bannerMSG_gunkReturn" width="300" height="60"/>
  <testimage name="Harley_BGImage" width="750" height="530"/>
  <testimage name="TextImage_Harley" width="120" height="20"/>
  <testimages name="Harley_icon" count="2" width="40" height="40"/>
  <testimages name="endlessMeterBar" count="2" width="200" height="16"/>
  <testimages name="PopupFrames" count="2" width="80" height="30"/>
  <testsound name="SFX_PositicSpawnSpear"/><testsound name="SFX_LoopSuccess"/>
  <testsound name="SFX_LoopFail"/><testsound name="SFX_TimeWarning"/><testsound name="SFX_GunkGone"/>
  <string name="UI.expert" value="Session:"/>
</resources>)";

// In groups of their own, so a test can take them away.
const std::string BoardResources =
    R"(<resources><testimage name="sludgeBGImage-Black" width="20" height="20"/></resources>)";
const std::string FeedbackResources = R"(<resources>
  <spritetype name="FeedbackSprites" images="PopupFrames">
    <animation name="GoodLoop" frameList="0"/><animation name="BadLoop" frameList="1"/>
    <animation name="NoGremlin" frameList="1"/><animation name="DeepClean_Used" frameList="0"/>
  </spritetype>
  <scenelayout name="feedbackPopupLayout">
    <scenenode><animatedspritenode nodeName="feedbackPopupTextImage" spriteType="FeedbackSprites"/></scenenode>
  </scenelayout>
</resources>)";

void LoadGroup(const wchar_t* group, const std::string& xml)
{
    Kestrin::MemoryStream stream(group, xml.data(), uint32_t(xml.size()));
    Kestrin::ResourceManager::Instance()->Load(group, &stream, nullptr);
}

const char* const SmallLevel = R"(<Level><LevelData>
    <Quota expertTime="90" timeLimit="180" explodeColors="0"/>
    <LoopPowerUpSpawn/><SpearKingGemSpawn/>
    <GremlinFactory numInitialGremlins="2" MaxWanderingGremlinsInLevel="6" GremlinSpawnDelayMin="2"
                    GremlinSpawnDelayMax="4"/>
    <Obstacles/>
    <GremlinTrapFactory><TrapSlots><Slot initialTime="0"/></TrapSlots></GremlinTrapFactory>
  </LevelData></Level>)";

// The game screen as far as the level needs it: its playfield, banner and interface.
class LevelScene : public PlayfieldTest
{
protected:
    LevelScene()
        : PlayfieldTest(
              {.paths = {NodePath::LevelBackground, NodePath::TerrainLayerNode, NodePath::CreatureLayerNode,
                         NodePath::PopupLayerNode, NodePath::BannerBackground, NodePath::BannerTextImage,
                         NodePath::GuiTimer, NodePath::GuiExpertTime, NodePath::GuiRedFlash,
                         NodePath::GuiMeterBarAttach, NodePath::GuiMeterFlash, NodePath::GuiSimulationName,
                         NodePath::GuiHeadIconAttach}})
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        resources->RegisterFactory(L"testfont", new SceneTest::TestFontFactory);
        resources->RegisterFactory(L"testimage", new SceneTest::TestImageFactory);
        resources->RegisterFactory(L"testsound", new SceneTest::TestSoundFactory);
        resources->RegisterFactory(L"string", new Kestrin::StringResourceFactory);
        LoadGroup(L"GameMode", LevelResources);
        LoadGroup(L"Board", BoardResources);
        LoadGroup(L"Feedback", FeedbackResources);
        SetLevelOutcomeHooks({[this](bool, int, int) { ++successes; }, {}});
        TutorialManager::Instance().ReadFlags();

        GameLevels& levels = GameLevels::Instance();
        auto record = std::make_unique<LevelRecord>();
        record->name = "9-99 Harley";
        record->guest = GuestID::Harley;
        levels.current = record.get();
        levels.records[record->name] = std::move(record);
        AddData(L"CreatureSettings", "<CreatureSettings/>");

        looper->PushModeNow(screen);
        // What the game's layout gives the nodes: the board's size to the press, the clocks' font
        // and widths, the banner and the warning flash hidden until due, the meter flash's picture.
        screen->At(NodePath::LevelMouseHandler)->SetSize(800, 600);
        for (auto [path, width] : {std::pair{NodePath::GuiTimer, 100.0f}, {NodePath::GuiExpertTime, 200.0f}})
        {
            auto* text = static_cast<TextSpriteNode*>(screen->At(path));
            text->SetFont(Kestrin::GetResource<Kestrin::Font>("CustomSpearFont").second);
            text->SetWidth(width);
        }
        screen->At(NodePath::BannerTextImage)->SetAlpha(0.0f);
        screen->At(NodePath::GuiRedFlash)->SetVisible(false);
        auto* flash = static_cast<StaticSpriteNode*>(screen->At(NodePath::GuiMeterFlash));
        flash->SetImage(Kestrin::GetResource<Kestrin::IImage>("bannerMSG_normal").second);
        flash->SetPosition(12.5f, 540.75f);
    }
    ~LevelScene() override
    {
        looper.reset();
        GameLevels::Instance().records.erase("9-99 Harley");
    }

    NimbalLevel* MakeLevel()
    {
        auto* level = new NimbalLevel;
        screen->AddObject(level);
        return level;
    }
    SceneNode* At(NodePath path) { return screen->At(path); }
    // A group goes only when its file is there to load it again.
    void Unload(const wchar_t* group)
    {
        AddData(group, "<resources/>");
        Kestrin::ResourceManager::Instance()->UnloadFile(group);
    }
    std::wstring TextAt(NodePath path)
    {
        auto* text = dynamic_cast<ITextSprite*>(At(path));
        return text ? text->GetText() : L"(none)";
    }
    // The tutorial's pop-ups queued so far.
    size_t Popups(int id) const
    {
        size_t count = 0;
        for (const auto& request : looper->GetPendingRequests())
            if (auto* popup = dynamic_cast<TutorialPopupMode*>(request.mode))
                count += popup->tutorialId == id;
        return count;
    }

    BoostRandomNumberStream seeded{4242};
    Kestrin::ScopedRandomStream scopedRandom{&seeded};
    FakeGunkBoard board;
    ScopedGunkBoard scopedBoard{board};
    std::vector<std::string> played;
    KestrinTest::RecordedSounds recorded{played};
    int successes = 0;
};

TEST_F(LevelScene, SetsUpFromItsFilesAndStartsAfterTheIntro)
{
    AddData(L"9-99 Harley", SmallLevel);
    AddData(L"9-99 Harley-Board",
            R"(<Board><NimbalGunk x="300" y="200" width="2" data="0120" color="Red"/></Board>)");
    NimbalLevel* level = MakeLevel();
    ASSERT_FALSE(level->loadFailed);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(level->timeLimit, 180.0f);
    EXPECT_EQ(level->timeRemaining, 180.0f);
    EXPECT_EQ(level->expertTime, 90.0f);
    // The patch lies on the real board, row by row from the cell of its point.
    const NimbalGunk& gunk = NimbalGunk::Instance();
    EXPECT_EQ(
        std::vector<int>({gunk.Depth(15, 10), gunk.Depth(16, 10), gunk.Depth(15, 11), gunk.Depth(16, 11)}),
        std::vector<int>({0, 1, 2, 0}));
    EXPECT_EQ(gunk.capacity, 4968.75f) << "without gunkLimit the playable area";
    EXPECT_EQ(TextAt(NodePath::GuiExpertTime), L"Session: 03:00");
    auto* background = dynamic_cast<StaticSpriteNode*>(At(NodePath::LevelBackground));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->GetImage(), Kestrin::GetResource<Kestrin::IImage>("Harley_BGImage").second);
    EXPECT_EQ(At(NodePath::GuiHeadIconAttach)->GetChildCount(), 1u);
    // The opening banner is shown, though the layout keeps the banner hidden until one is due.
    Steps(50);
    auto* banner = dynamic_cast<StaticSpriteNode*>(At(NodePath::BannerTextImage));
    EXPECT_EQ(banner->GetImage(), Kestrin::GetResource<Kestrin::IImage>("bannerMSG_normal").second);
    EXPECT_EQ(banner->GetWorldColor().a, 1.0f);

    auto* factory = dynamic_cast<GremlinFactory*>(screen->FindObject(GameNames::GremlinFactory));
    ASSERT_TRUE(factory);
    ASSERT_TRUE(screen->FindObject(GameNames::GremlinHomeFactory));
    Steps(62); // 2.24 s
    EXPECT_TRUE(level->notStarted);
    EXPECT_FALSE(factory->spawning);
    EXPECT_EQ(TextAt(NodePath::GuiTimer), L"03:00") << "the clock shows the full time before the start";
    Steps(2);
    EXPECT_FALSE(level->notStarted);
    EXPECT_TRUE(factory->spawning);
    Steps(25);
    EXPECT_EQ(TextAt(NodePath::GuiTimer), L"02:59");

    // The playfield's press ends a line held past the click time.
    GlobalSettings::Instance().clickTime = -1;
    GremlinHome trap(GremlinColorType::Red, {100, 100}, GremlinKind::Basic, false);
    Line* line = level->BeginLine({110, 110}, &trap, GremlinColorType::Red, GremlinKind::Basic);
    At(NodePath::LevelMouseHandler)->MouseDown.Emit(nullptr, {400, 300}, Kestrin::MouseButton(0));
    EXPECT_TRUE(line->retracting);
    EXPECT_EQ(level->currentLine, nullptr);
}

TEST_F(LevelScene, EndlessLevelPicksItsBoardAndShowsTheMeter)
{
    GameLevels::Instance().endless = true;
    AddData(L"9-99 Harley", R"(<Level><LevelData>
        <Quota expertTime="0" timeLimit="100000" gunkLimit="0.5" explodeColors="1"/>
        <LoopPowerUpSpawn/><SpearKingGemSpawn/>
        <GremlinFactory numInitialGremlins="2" MaxWanderingGremlinsInLevel="6" GremlinSpawnDelayMin="2"
                        GremlinSpawnDelayMax="4"/>
        <GremlinFactoryModifiers>
          <wave initialSize="6" change="2" max="30" recoveryTime="5"/><maxCreatures change="1" max="12"/>
          <optimalCreatures change="1" max="8"/><growthRate change="-0.25" min="2"/>
          <spawnDelay change="-0.1" min="0.75"/><maxMegaTics change="0" max="0"/>
          <megaTicSpawnDelay change="0" min="10"/>
        </GremlinFactoryModifiers>
        <Obstacles><ObstacleSet gunkBoard="A"/></Obstacles>
        <GremlinTrapFactory><TrapSlots/></GremlinTrapFactory>
      </LevelData></Level>)");
    AddData(L"9-99 Harley-Board-A",
            R"(<Board><NimbalGunk x="200" y="200" width="1" data="3" color="Blue"/></Board>)");
    NimbalLevel* level = MakeLevel();
    ASSERT_FALSE(level->loadFailed) << (boxes.empty()
                                            ? std::string()
                                            : std::string(boxes[0].first.begin(), boxes[0].first.end()));
    EXPECT_EQ(level->boardSuffix, "-A");
    EXPECT_EQ(NimbalGunk::Instance().Depth(10, 10), 3);
    EXPECT_EQ(NimbalGunk::Instance().capacity, 4968.75f * 0.5f);
    EXPECT_TRUE(explodeColors);
    auto* meter = dynamic_cast<IMeter*>(
        FindSceneNode({"gamemoderoot", "gui_attach", "game_interface", "meterBarAttach", "endlessMeter"}));
    ASSERT_TRUE(meter);
    EXPECT_EQ(meter->GetMax(), 1.0f);
    EXPECT_EQ(At(NodePath::GuiSimulationName)->GetChildCount(), 1u);
    EXPECT_FALSE(At(NodePath::GuiMeterFlash)->IsVisible());

    // The meter follows the board's fill; past four fifths the flash shows, clipped to the fill:
    // its world rectangle (12.5, 540.75, 300 x 60), the width times the fill, in whole pixels.
    board.gunkFraction = 0.909f;
    level->Start();
    level->Update(0.02f);
    EXPECT_FLOAT_EQ(meter->GetValue(), 0.909f);
    SceneNode* flash = At(NodePath::GuiMeterFlash);
    EXPECT_TRUE(flash->IsVisible());
    ASSERT_TRUE(flash->HasSourceRect());
    const SceneNode::Rectf clip = flash->GetSourceRect();
    EXPECT_EQ(std::vector<float>({clip.x, clip.y, clip.w, clip.h}), std::vector<float>({12, 540, 272, 60}));
    EXPECT_EQ(TextAt(NodePath::GuiTimer), L"00:00") << "endless clocks count up";
    board.gunkFraction = 0.8f;
    level->Update(0.02f);
    EXPECT_FALSE(flash->IsVisible()) << "four fifths exactly is no warning";
    EXPECT_FLOAT_EQ(meter->GetValue(), 0.8f);
}

TEST_F(LevelScene, AFileThatFailsStopsTheLevelWithAnErrorBox)
{
    struct Case
    {
        const char* what;
        std::string level;
        bool board;
        bool cellImage;
        const char* expected;
        bool built; // the level file's factories stand
    };
    const std::vector<Case> cases = {
        {"missing board", SmallLevel, false, true, "9-99 Harley-Board.xml", true},
        {"bad clock", std::string(SmallLevel).replace(std::string(SmallLevel).find("180"), 3, "soon"), true,
         true, "timeLimit", false},
        {"no gunk cell image", SmallLevel, true, false, "sludgeBGImage-Black", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        boxes.clear();
        AddData(L"9-99 Harley", c.level);
        if (c.board)
            AddData(L"9-99 Harley-Board", "<Board/>");
        else
            fs.files.erase(fs.KeyOf(Kestrin::FileSpec::FromNameAndExtension(L"9-99 Harley-Board", L".xml")));
        if (!c.cellImage)
            Unload(L"Board");
        NimbalLevel* level = MakeLevel();
        EXPECT_TRUE(level->loadFailed);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].second, L"There was an error loading Level file.");
        EXPECT_NE(boxes[0].first.find(std::wstring(c.expected, c.expected + strlen(c.expected))),
                  std::wstring::npos);
        Kestrin::Object* factories[] = {screen->FindObject(GameNames::GremlinFactory),
                                        screen->FindObject(GameNames::GremlinHomeFactory)};
        EXPECT_EQ(factories[0] && factories[1], c.built);
        Steps(200);
        EXPECT_TRUE(level->notStarted) << "a level that failed never starts";
        EXPECT_EQ(dynamic_cast<StaticSpriteNode*>(At(NodePath::BannerTextImage))->GetImage(), nullptr)
            << "no intro";
        for (Kestrin::Object* object : factories)
            if (object)
                screen->RemoveObject(object->GetHandle());
        screen->RemoveObject(level->GetHandle());
        Steps(1);
        if (!c.cellImage)
            LoadGroup(L"Board", BoardResources);
    }
}

TEST_F(LevelScene, SpearValuesGrowAtEachPowerUpThreshold)
{
    AddData(L"9-99 Harley", SmallLevel);
    AddData(L"9-99 Harley-Board", "<Board/>");
    NimbalLevel* level = MakeLevel();
    GlobalSettings::Instance().posiTicSpearValue = {{3, 1}, {6, 2}};
    GlobalSettings::Instance().posiTicSurcharge = {};
    SceneNode* popups = At(NodePath::PopupLayerNode);
    for (int count = 1; count <= 7; ++count)
    {
        played.clear();
        level->ShowSpearValue(count, {200, 250});
        auto* text = dynamic_cast<TextSpriteNode*>(popups->GetLastChild());
        ASSERT_TRUE(text);
        EXPECT_EQ(text->GetText(), std::to_wstring(count));
        const bool threshold = count == 3 || count == 6;
        EXPECT_EQ(text->GetFont(),
                  Kestrin::GetResource<Kestrin::Font>(threshold ? "CustomSpearFontLarge" : "CustomSpearFont")
                      .second)
            << count;
        EXPECT_EQ(played == std::vector<std::string>{"SFX_PositicSpawnSpear"}, threshold) << count;
    }
    EXPECT_EQ(popups->GetChildCount(), 7u);
    Steps(30);
    EXPECT_EQ(popups->GetChildCount(), 0u) << "each number rises, fades and goes";
}

TEST_F(LevelScene, FeedbackPopUpsPlayTheirResultAndGo)
{
    AddData(L"9-99 Harley", SmallLevel);
    AddData(L"9-99 Harley-Board", "<Board/>");
    NimbalLevel* level = MakeLevel();
    SceneNode* popups = At(NodePath::PopupLayerNode);
    level->ShowLoopFeedback(LoopResult::Silent, {300, 300});
    EXPECT_EQ(popups->GetChildCount(), 0u) << "a silent failure shows nothing";

    level->ShowLoopFeedback(LoopResult::GoodLoop, {300, 300});
    level->ShowPowerUpFeedback(int(GremlinKind::DeepClean), {320, 300}, false);
    ASSERT_EQ(popups->GetChildCount(), 2u);
    auto sprite = [&](SceneNode* popup)
    { return dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(popup, NodePath::FeedbackPopupTextImage)); };
    ASSERT_TRUE(sprite(popups->GetFirstChild()) && sprite(popups->GetLastChild()));
    EXPECT_TRUE(sprite(popups->GetFirstChild())->IsPlayingAnimation(Kestrin::MakeName("GoodLoop")));
    EXPECT_TRUE(sprite(popups->GetLastChild())->IsPlayingAnimation(Kestrin::MakeName("DeepClean_Used")));
    Steps(45);
    EXPECT_EQ(popups->GetChildCount(), 2u);
    Steps(10);
    EXPECT_EQ(popups->GetChildCount(), 0u);

    // A pop-up layout without its picture shows nothing at all.
    Unload(L"Feedback");
    LoadGroup(L"Feedback",
              R"(<resources><scenelayout name="feedbackPopupLayout"><scenenode/></scenelayout></resources>)");
    level->ShowLoopFeedback(LoopResult::BadLoop, {300, 300});
    EXPECT_EQ(popups->GetChildCount(), 0u);
}

TEST_F(LevelScene, FeedbackPopUpsRiseInsideTheBoardNearItsEdges)
{
    AddData(L"9-99 Harley", SmallLevel);
    AddData(L"9-99 Harley-Board", "<Board/>");
    NimbalLevel* level = MakeLevel();
    SceneNode* popups = At(NodePath::PopupLayerNode);
    // Corners and edges of the board, and a point in the middle that keeps its place.
    const std::vector<Vector2f> points{{25, 20},  {775, 20}, {25, 550}, {775, 550},
                                       {400, 21}, {10, 300}, {300, 300}};
    for (Vector2f point : points)
        level->ShowLoopFeedback(LoopResult::GoodLoop, point);
    ASSERT_EQ(popups->GetChildCount(), points.size());
    std::vector<SceneNode*> shown;
    for (SceneNode* popup = popups->GetFirstChild(); popup; popup = popup->GetNextSibling())
        shown.push_back(FindNodeAtPath(popup, NodePath::FeedbackPopupTextImage));
    Steps(49);
    for (size_t i = 0; i < points.size(); ++i)
    {
        const SceneNode::Rectf r = shown[i]->GetWorldRect();
        EXPECT_TRUE(r.x >= 25 && r.y >= 20 && r.x + r.w <= 775 && r.y + r.h <= 550)
            << points[i].x << "," << points[i].y << ": " << r.x << "," << r.y << " " << r.w << "x" << r.h;
    }
    const SceneNode::Rectf middle = shown.back()->GetWorldRect();
    EXPECT_NEAR(middle.x, 300, 0.5);
    EXPECT_NEAR(middle.y, 280, 0.5) << "it rises 20 px";
}

TEST_F(LevelScene, TimedTutorialsShowOnceAndWarningsFlash)
{
    AddData(L"9-99 Harley", SmallLevel);
    AddData(L"9-99 Harley-Board", "<Board/>");
    NimbalLevel* level = MakeLevel();
    level->Start();
    EXPECT_EQ(Popups(10), 0u);
    level->timeElapsed = 59.99f;
    for (int i = 0; i < 60; ++i)
        level->Update(0.02f);
    EXPECT_EQ(Popups(10), 1u) << "tutorial 10 once, though the time stays in its second";
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::1Minute", 1), 0);

    EXPECT_FALSE(At(NodePath::GuiRedFlash)->IsVisible());
    level->timeRemaining = 29.0f;
    level->Update(0.02f);
    EXPECT_TRUE(level->warned30 && !level->warned10);
    EXPECT_TRUE(At(NodePath::GuiRedFlash)->IsVisible());
    EXPECT_TRUE(At(NodePath::GuiRedFlash)->IsChannelBusy(GameNames::FlasherTask));
    auto* banner = dynamic_cast<StaticSpriteNode*>(At(NodePath::BannerTextImage));
    EXPECT_EQ(banner->GetImage(), Kestrin::GetResource<Kestrin::IImage>("bannerMSG_warning").second);
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_TimeWarning"), 1);
}

} // namespace
