// A whole level played headless from small authored files: the real level, factories, trap,
// creatures, king, line and gunk board; the pointer is scripted and the random stream seeded.
#include "Base/Random.h"
#include "Base/Text.h"
#include "Game/BasicGremlin.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"

#include "GameStubs/GameFakes.h"
#include "PlayfieldTestSupport.h"
#include "Scene/StaticSpriteNode.h"
#include "harness/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace GameTest;

namespace
{

const std::string PlayResources = R"(<resources>
  <testimages name="LineImages" count="7"/><testimages name="LineSparkleImages" count="5"/>
  <testimage name="YarnBallImage" width="30" height="30"/>
  <testimage name="sludgeBGImage-Black" width="20" height="20"/>
  <testimages name="TrapFrames" count="2" width="40" height="30"/>
  <testimages name="blue_sml" count="10" width="6" height="6"/>
  <spritetype name="AnyRed_TrapStateSpriteType" images="TrapFrames">
    <animation name="open-100" frameList="0" numPlays="0"/><animation name="closed-100" frameList="1" numPlays="0"/>
  </spritetype>
  <spritetype name="Wind" images="TrapFrames">
    <animation name="off" frameList="0" numPlays="0"/><animation name="extract" frameList="1"/>
    <animation name="retract" frameList="0"/>
  </spritetype>
  <scenelayout name="TrapLayout">
    <scenenode nodeName="MouseHandler">
      <animatedspritenode nodeName="trapImage" hitTest="true">
        <animatedspritenode nodeName="windFX" spriteType="Wind"/><scenenode nodeName="captureFX"/>
      </animatedspritenode>
    </scenenode>
  </scenelayout>
</resources>)";

// Creatures that stay where they spawn and never age; a king of two hits.
std::string Record(const char* sprite, const char* behaviour, const char* extra = "")
{
    std::string xml =
        std::string("<TypeSettings sprite=\"") + sprite + "\" color=\"Red\" behavior=\"" + behaviour +
        "\" maxMoveSpeed=\"200\" angryTime=\"100\" chanceForPause=\"100\" pauseLengthMin=\"1000\""
        " pauseLengthMax=\"1000\" " +
        extra;
    for (const char* name : {"param1", "param2", "param3", "param4", "energyMin", "energyMax",
                             "randomWalkSpeedMin", "randomWalkSpeedMax", "randomWalkLengthMin",
                             "randomWalkLengthMax", "randomWalkAngleVarMin", "randomWalkAngleVarMax"})
        xml += std::string(" ") + name + "=\"1\"";
    for (const char* name : {"explode0Min", "explode0Max", "explode1Min", "explode1Max", "explode2Min",
                             "explode2Max", "explodeEndMin", "explodeEndMax"})
        xml += std::string(" ") + name + "=\"1000\"";
    return xml + "/>";
}

const char* const PlayLevel = R"(<Level><LevelData>
    <Quota expertTime="200" timeLimit="300" explodeColors="0"/>
    <LoopPowerUpSpawn/><SpearKingGemSpawn/>
    <GremlinFactory numInitialGremlins="1" MaxWanderingGremlinsInLevel="1" GremlinSpawnDelayMin="1"
        GremlinSpawnDelayMax="1" megaTicSpawnDelayMin="1000" megaTicSpawnDelayMax="1000"
        numInitialMegaTics="1" numMaxMegaTics="1">
      <FactoryZone type="Normal" x="560" y="260"><Type sprite="Sprite_BasicRed" ratio="1"/></FactoryZone>
      <FactoryZone type="King" x="360" y="120"><Type sprite="Sprite_SmallCircle"/></FactoryZone>
    </GremlinFactory>
    <Obstacles/>
    <GremlinTrapFactory>
      <TrapSlots><Slot initialTime="0"/></TrapSlots>
      <FactoryZone shuffle="0"><TrapType color="Red" x="380" y="450"/></FactoryZone>
    </GremlinTrapFactory>
  </LevelData></Level>)";

// On the playing screen's nodes that the level, the board, the lines and the creatures use.
class LevelPlay : public PlayfieldTest
{
protected:
    LevelPlay()
        : PlayfieldTest(
              {.paths = {NodePath::LevelBackground, NodePath::TerrainLayerNode, NodePath::LineAttachLayerNode,
                         NodePath::CreatureLayerNode, NodePath::PopupLayerNode},
               .collisionTree = true})
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        resources->RegisterFactory(L"testimage", new SceneTest::TestImageFactory);
        Kestrin::MemoryStream stream(L"Play", PlayResources.data(), uint32_t(PlayResources.size()));
        resources->Load(L"Play", &stream, nullptr);
        GlobalSettings& tuning = GlobalSettings::Instance();
        tuning.fadeInTime = 0.1f;
        tuning.maxLength = -1;
        tuning.clickTime = 300;
        tuning.selfIgnore = 0;
        tuning.BaseFollowLineSpeed = 200;
        tuning.megaTicDamageShrink = {{1, 1}};
        SetShuffleRandomSource(ShuffleLcg(3));
        SetLevelOutcomeHooks({[this](bool expert, int time, int expertTime) {
                                  outcomes.push_back({expert, time, expertTime});
                              },
                              {}});
        GameLevels& levels = GameLevels::Instance();
        auto record = std::make_unique<LevelRecord>();
        record->name = "9-98 Harley";
        record->guest = GuestID::Harley;
        levels.current = record.get();
        levels.records[record->name] = std::move(record);
        AddData(L"9-98 Harley", PlayLevel);
        AddData(L"9-98 Harley-Board",
                R"(<Board><NimbalGunk x="380" y="140" width="2" data="11" color="Red"/></Board>)");
        AddData(L"CreatureSettings", "<CreatureSettings>" + Record("Sprite_BasicRed", "Basic") +
                                         Record("Sprite_SmallCircle", "SmallCircle", "maxHealth=\"2\"") +
                                         "</CreatureSettings>");
        looper->PushModeNow(screen);
    }
    // The level sets itself up from the files, with the basic tutorials or without.
    void Begin(bool tutorials)
    {
        TutorialManager::Instance().ReadFlags();
        if (!tutorials)
            TutorialManager::Instance().Disable();
        level = new NimbalLevel;
        screen->AddObject(level);
    }
    // The level made endless without growth, nine may wander, with the wave given; `edits` change
    // the file further. Its factory once it has set itself up.
    GremlinFactory* BeginEndless(const std::string& wave,
                                 std::vector<std::pair<std::string, std::string>> edits = {})
    {
        GameLevels::Instance().endless = true;
        std::string xml = PlayLevel;
        edits.insert(
            edits.begin(),
            {{R"(MaxWanderingGremlinsInLevel="1")", R"(MaxWanderingGremlinsInLevel="9")"},
             {R"(<Type sprite="Sprite_SmallCircle"/>)", R"(<Type sprite="Sprite_SmallCircle" ratio="1"/>)"},
             {"<Obstacles/>", "<GremlinFactoryModifiers>" + wave + R"(
      <maxCreatures change="0" max="9"/><optimalCreatures change="0" max="0"/><growthRate change="0" min="0"/>
      <spawnDelay change="0" min="0"/><maxMegaTics change="0" max="1"/><megaTicSpawnDelay change="0" min="0"/>
    </GremlinFactoryModifiers><Obstacles><ObstacleSet/></Obstacles>)"}});
        for (const auto& [from, to] : edits)
            xml.replace(xml.find(from), from.size(), to);
        AddData(L"9-98 Harley", xml);
        Begin(false);
        EXPECT_FALSE(level->loadFailed) << (boxes.empty() ? "" : Kestrin::ToUtf8(boxes[0].first));
        return dynamic_cast<GremlinFactory*>(screen->FindObject(GameNames::GremlinFactory));
    }
    ~LevelPlay() override
    {
        looper.reset();
        GameLevels::Instance().records.erase("9-98 Harley");
        SetShuffleRandomSource({});
    }

    // The pointer glides to the point in 8 px steps, one game step each; the level feeds the line.
    void Glide(Vector2f to)
    {
        const Vector2f from = level->mousePosition;
        const Vector2f d = to - from;
        const int n = std::max(1, int(std::ceil(std::sqrt(d.x * d.x + d.y * d.y) / 8)));
        for (int i = 1; i <= n && level->currentLine; ++i)
        {
            level->mousePosition = from + d * (float(i) / float(n));
            Steps(1);
        }
    }
    // Out of the trap, through every creature, round the king and back into the trap.
    void Lasso(GremlinHome* trap, Vector2f king)
    {
        const Vector2f home = trap->GetCentre();
        SceneNode* handler = trap->GetNode()->GetFirstChild();
        level->mousePosition = home;
        handler->OnMouseDown(Kestrin::MouseButton::Left, home.x, home.y);
        handler->OnMouseMove(home.x + 5, home.y);
        handler->OnMouseMove(home.x + 30, home.y - 20);
        ASSERT_TRUE(level->currentLine) << "the trap began a line";
        level->mousePosition = {home.x + 30, home.y - 20};
        for (BasicGremlin* tic : HeldObject<BasicGremlin>::GetAll())
            Glide(tic->GetCentre());
        for (Vector2f corner : {king + Vector2f(75, 75), king + Vector2f(75, -75), king + Vector2f(-75, -75),
                                king + Vector2f(-75, 75)})
            Glide(corner);
        Glide(home);
    }
    // Until the level's lines and hauled creatures are gone.
    void Settle()
    {
        for (int i = 0; i < 2000 && (HeldObject<Line>::Count() > 0 || CaughtOnALine()); ++i)
            Steps(1);
    }
    static bool CaughtOnALine()
    {
        bool caught = false;
        HeldObject<Gremlin>::ForEach([&](Gremlin* g) { caught |= g->line != nullptr; });
        return caught;
    }
    // The basic tutorials shown so far: the pop-ups queued, then the picture of the bubble on the
    // playfield, if one is up.
    std::vector<int> Tutorials() const
    {
        std::vector<int> shown;
        for (const auto& request : looper->GetPendingRequests())
            if (auto* popup = dynamic_cast<TutorialPopupMode*>(request.mode); popup && popup->tutorialId <= 5)
                shown.push_back(popup->tutorialId);
        const auto* pictures = Kestrin::GetResource<Kestrin::ImageList>("TutorialImages").second;
        SceneNode* layer = screen->At(NodePath::PopupLayerNode);
        for (SceneNode* child = layer->GetFirstChild(); child; child = child->GetNextSibling())
            if (SceneNode* attach = FindTutorialPart(child, NodePath::TutorialTextAttach))
                if (auto* picture = dynamic_cast<StaticSpriteNode*>(attach->GetFirstChild()))
                    for (int i = 0; i < 17; ++i)
                        if (picture->GetImage() == pictures->GetImageAt(i))
                            shown.push_back(i);
        return shown;
    }
    size_t LogLines(const std::string& line) const
    {
        const std::string text = log.Text();
        size_t count = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++count;
        return count;
    }

    struct Outcome
    {
        bool expert;
        int time, expertTime;
    };
    BoostRandomNumberStream randomStream{20261210};
    Kestrin::ScopedRandomStream scopedRandom{&randomStream};
    KestrinTest::FakeClock clock;
    // Takes the play-data log while the test holds it (the fixture's takes only whole new files).
    KestrinTest::FakeFileSystem playData;
    std::vector<Outcome> outcomes;
    NimbalLevel* level = nullptr;
};

TEST_F(LevelPlay, LoopsCleanTheBoardKillTheKingAndWin)
{
    Begin(false);
    ASSERT_FALSE(level->loadFailed);
    Steps(120);
    ASSERT_FALSE(level->notStarted);
    auto* factory = dynamic_cast<GremlinFactory*>(screen->FindObject(GameNames::GremlinFactory));
    ASSERT_TRUE(factory && factory->spawning);
    ASSERT_EQ(HeldObject<GremlinHome>::Count(), 1u);
    ASSERT_EQ(HeldObject<GremlinKing>::Count(), 1u);
    GremlinHome* trap = HeldObject<GremlinHome>::GetAll().front();
    GremlinKing* king = HeldObject<GremlinKing>::GetAll().front();
    const Vector2f kingAt = king->GetCentre();
    ASSERT_EQ(HeldObject<BasicGremlin>::Count(), 1u);
    EXPECT_TRUE(NimbalGunk::Instance().HasGunk());

    // First loop: one creature speared, the king enclosed, the board's red gunk cleaned.
    Lasso(trap, kingAt);
    Settle();
    EXPECT_EQ(king->health, 1) << "one ordinary loop, one hit";
    EXPECT_EQ(trap->captures, 1) << "the speared creature was hauled home";
    EXPECT_FALSE(NimbalGunk::Instance().HasGunk());
    EXPECT_TRUE(factory->spawning) << "the king still holds the level";
    EXPECT_FALSE(level->won);

    // A new creature comes; the second loop kills the king.
    for (int i = 0; i < 200 && HeldObject<BasicGremlin>::Count() == 0; ++i)
        Steps(1);
    ASSERT_EQ(HeldObject<BasicGremlin>::Count(), 1u);
    Steps(10);
    Kestrin::SetFileSystem(&playData);
    Lasso(trap, kingAt);
    Settle();
    for (int i = 0; i < 500 && !level->won; ++i)
        Steps(1);
    ASSERT_TRUE(level->won);
    EXPECT_FALSE(factory->spawning);
    EXPECT_EQ(HeldObject<GremlinKing>::Count(), 0u);
    const float played = level->timeElapsed;

    // The outro's first step: the trap's wind fades out and its sparks start at its image's centre.
    level->Update(0.02f);
    SceneNode* image = FindNodeAtPath(trap->GetNode(), NodePath::TrapImage);
    SceneNode* wind = FindNodeAtPath(trap->GetNode(), NodePath::TrapWindFX);
    ASSERT_TRUE(image && wind);
    EXPECT_TRUE(wind->IsChannelBusy(GameNames::FadingOutTask));
    EXPECT_EQ(image->GetChildCount(), 22u);
    // Within a pixel: at most a step of their half-second flight to up to half the image's size.
    const SceneNode::Rectf at = image->GetWorldRect();
    for (SceneNode* child = image->GetFirstChild(); child; child = child->GetNextSibling())
        if (auto* spark = dynamic_cast<StaticSpriteNode*>(child))
        {
            const SceneNode::Rectf r = spark->GetWorldRect();
            EXPECT_NEAR(r.x + r.w / 2, at.x + at.w / 2, 1.0f);
            EXPECT_NEAR(r.y + r.h / 2, at.y + at.h / 2, 1.0f);
        }
    Steps(129);
    Kestrin::SetFileSystem(&fs);
    EXPECT_EQ(wind->GetLocalState().color.a, 0.0f);
    EXPECT_EQ(image->GetLocalState().color.a, 1.0f) << "the image stays";
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].expert);
    EXPECT_EQ(outcomes[0].time, int(played + 1.0f));
    EXPECT_EQ(outcomes[0].expertTime, 200);
    EXPECT_EQ(trap->captures, 2);
    // One play-data line: time, profile, level, won, seconds, expert, gunk drops.
    auto it = playData.files.find({1, L".", L"PlayData.log"});
    ASSERT_NE(it, playData.files.end());
    const std::string& line = it->second;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_NE(line.find("\t9-98 Harley\tTRUE\t" + std::to_string(int(played)) + "\tTRUE\t"),
              std::string::npos)
        << line;
    // The playing screen here has no HUD: each missing node is told once, not every step.
    EXPECT_EQ(LogLines("the scene has no node gamemoderoot/gui_attach/game_interface/timer."), 1u);
}

// An endless level whose waves neither grow nor speed up, every change 0 and every floor 0, loads
// and plays: a wave of two, the pause, the next wave of two, at the file's own delays.
TEST_F(LevelPlay, AnEndlessLevelWithoutGrowthPlaysWaveAfterWave)
{
    GremlinFactory* factory = BeginEndless(R"(<wave initialSize="2" change="0" max="2" recoveryTime="2"/>)");
    ASSERT_TRUE(factory);
    int steps = 0;
    auto stepUntil = [&](auto done)
    {
        for (int i = 0; i < 1000 && !done(); ++i, ++steps)
            Steps(1);
    };
    stepUntil([&] { return factory->spawning; });
    ASSERT_TRUE(factory->spawning);
    // The first creature comes with the start, the second a second later; then the pause.
    steps = 0;
    stepUntil([&] { return factory->wavePause > 0; });
    EXPECT_EQ(HeldObject<BasicGremlin>::Count(), 2u);
    EXPECT_NEAR(steps, 50, 3) << "a second, and the steps that start and end the wave";
    EXPECT_EQ(factory->waveRemaining, 2) << "the next wave, as large";
    steps = 0;
    stepUntil([&] { return HeldObject<BasicGremlin>::Count() == 3; });
    EXPECT_NEAR(steps, 100 + 50, 3) << "two seconds' pause, then a second's delay";
    stepUntil([&] { return factory->wavePause > 0; });
    EXPECT_EQ(HeldObject<BasicGremlin>::Count(), 4u);
    // Nothing was brought down to its floor of 0.
    EXPECT_EQ(std::vector<float>({factory->spawnDelayMin, factory->spawnDelayMax,
                                  factory->settings[CreatureSpriteId::BasicRed].explode0Min,
                                  factory->megaTicSpawnDelayMin}),
              std::vector<float>({1, 1, 1000, 1000}));
    EXPECT_EQ(factory->maxWanderingGremlins, 9);
    EXPECT_FALSE(level->lost);
}

// An endless level whose first Normal zone names no type: it is left out, and wave after wave comes
// from the other one however long the waves (longer than the playfield holds, or short and many),
// never more wandering than the limit. Every creature is taken off every ten steps, as if caught.
class EndlessWaves : public LevelPlay, public testing::WithParamInterface<int>
{
};

TEST_P(EndlessWaves, AnEmptyZoneIsLeftOutAndTheWavesGoOnWithinTheWanderingLimit)
{
    const int first = GetParam();
    GremlinFactory* factory =
        BeginEndless(R"(<wave initialSize=")" + std::to_string(first) +
                         R"(" change="1" max="2147483647" recoveryTime="1"/>)",
                     {{R"(GremlinSpawnDelayMin="1")", R"(GremlinSpawnDelayMin="0.02")"},
                      {R"(GremlinSpawnDelayMax="1")", R"(GremlinSpawnDelayMax="0.02")"},
                      {R"(<FactoryZone type="Normal")",
                       R"(<FactoryZone type="Normal" x="200" y="200"/><FactoryZone type="Normal")"}});
    ASSERT_TRUE(factory);
    EXPECT_EQ(LogLines("Normal zone names no \"Type\": it is left out"), 1u);
    size_t taken = 0, takenEarlier = 0, most = 0;
    for (int step = 1; step <= 2005; ++step) // ends between takes: one taken goes with the next step
    {
        Steps(1);
        most = std::max(most, HeldObject<BasicGremlin>::Count());
        ASSERT_LE(HeldObject<BasicGremlin>::Count(), 9u) << "step " << step;
        if (step % 10 == 0)
            for (BasicGremlin* creature : HeldObject<BasicGremlin>::GetAll())
                creature->Remove(), ++taken;
        takenEarlier = step == 1800 ? taken : takenEarlier;
    }
    EXPECT_EQ(most, 9u);
    EXPECT_GT(taken - takenEarlier, 100u) << "still spawning at the end";
    // Every creature made counted down a wave: the waves done, then the one under way.
    ASSERT_GE(factory->waveSize, first + 2);
    size_t counted = size_t(factory->waveSize - factory->waveRemaining);
    for (int size = first; size < factory->waveSize; ++size)
        counted += size_t(size);
    EXPECT_EQ(taken + HeldObject<BasicGremlin>::Count(), counted);
}

INSTANTIATE_TEST_SUITE_P(LongAndShort, EndlessWaves, testing::Values(400, 3));

// The basic tutorials follow the play: the start, the trap, the drag out, a creature on the line
// and a cleaning loop; the clean board once the king is gone ends them.
TEST_F(LevelPlay, BasicTutorialsFollowThePlayInOrder)
{
    Begin(true);
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsStart);
    Steps(110);
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsStart) << "nothing before the start";
    EXPECT_EQ(Tutorials(), std::vector<int>{});
    Steps(10);
    ASSERT_EQ(level->tutorialStep, TutorialId::BasicsCreature) << "the start's hint, then the trap's";
    EXPECT_EQ(Tutorials(), (std::vector<int>{0, 1}));
    GremlinHome* trap = HeldObject<GremlinHome>::GetAll().front();
    const Vector2f kingAt = HeldObject<GremlinKing>::GetAll().front()->GetCentre();
    SceneNode* handler = trap->GetNode()->GetFirstChild();
    level->mousePosition = trap->GetCentre();
    handler->OnMouseDown(Kestrin::MouseButton::Left, trap->GetCentre().x, trap->GetCentre().y);
    handler->OnMouseMove(trap->GetCentre().x + 5, trap->GetCentre().y);
    handler->OnMouseMove(trap->GetCentre().x + 30, trap->GetCentre().y - 20);
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsGunk) << "the drag out points at a creature";
    EXPECT_EQ(Tutorials(), (std::vector<int>{0, 2}));
    level->mousePosition = trap->GetCentre() + Vector2f(30, -20);
    Glide(HeldObject<BasicGremlin>::GetAll().front()->GetCentre());
    Steps(1);
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsLoop) << "a creature on the line";
    EXPECT_EQ(Tutorials(), (std::vector<int>{0, 3}));
    for (Vector2f corner : {kingAt + Vector2f(75, 75), kingAt + Vector2f(75, -75),
                            kingAt + Vector2f(-75, -75), kingAt + Vector2f(-75, 75)})
        Glide(corner);
    Glide(trap->GetCentre());
    Settle();
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsClean)
        << "the loop cleaned gunk; the clean board waits for the king";
    EXPECT_EQ(Tutorials(), (std::vector<int>{0, 4}));
    for (int i = 0; i < 200 && HeldObject<BasicGremlin>::Count() == 0; ++i)
        Steps(1);
    Steps(10);
    Lasso(trap, kingAt);
    Settle();
    for (int i = 0; i < 500 && !level->won; ++i)
        Steps(1);
    EXPECT_TRUE(level->won);
    // The clean board's hint is for creatures still to catch: with none left the basics just end.
    EXPECT_EQ(level->tutorialStep, TutorialId::None);
    EXPECT_EQ(Tutorials(), (std::vector<int>{0, 4}));
}

// Through the screen's input, as a player does it: a press on the trap, out of it with the button
// held, and the release past the click time drops the line, which winds back into the trap.
TEST_F(LevelPlay, ALineDraggedOutOfATrapIsDroppedAtTheRelease)
{
    Begin(false);
    Steps(120);
    ASSERT_EQ(HeldObject<GremlinHome>::Count(), 1u);
    GremlinHome* trap = HeldObject<GremlinHome>::GetAll().front();
    const Vector2f home = trap->GetCentre();
    auto move = [&](Vector2f p)
    {
        level->mousePosition = p;
        screen->OnMouseMove(int(p.x), int(p.y));
        Steps(1);
    };
    move(home);
    screen->OnMouseDown(Kestrin::MouseButton::Left, int(home.x), int(home.y));
    EXPECT_TRUE(trap->pressed);
    for (Vector2f p : {home + Vector2f(10, -5), home + Vector2f(40, -30), home + Vector2f(80, -60)})
        move(p);
    ASSERT_EQ(trap->lines.size(), 1u) << "the line left the trap with the pointer";
    Line* line = trap->lines.front();
    EXPECT_EQ(level->currentLine, line);
    EXPECT_TRUE(level->drawing && line->drawing);
    clock.Advance(301);
    screen->OnMouseUp(Kestrin::MouseButton::Left, int(home.x + 80), int(home.y - 60));
    EXPECT_FALSE(level->drawing);
    EXPECT_EQ(level->currentLine, nullptr);
    EXPECT_TRUE(line->retracting);
    EXPECT_FALSE(line->drawing);
    auto* wind = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(trap->GetNode(), NodePath::TrapWindFX));
    ASSERT_TRUE(wind);
    EXPECT_TRUE(wind->IsPlayingAnimation(GameNames::WindRetract.Get()));
    Settle();
    EXPECT_TRUE(trap->lines.empty());
    EXPECT_EQ(HeldObject<Line>::Count(), 0u);
}

} // namespace
