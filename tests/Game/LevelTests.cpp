#include "Base/Clock.h"
#include "Base/Random.h"
#include "Game/BasicGremlin.h"
#include "Game/GameClock.h"
#include "Game/GameLevels.h"
#include "Game/GameObstacle.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/MusicManager.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Platform/AudioControls.h"

#include "CollisionTestSupport.h"
#include "GameStubs/GameFakes.h"
#include "TutorialTests.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace GameTest;

namespace
{

class ManualClock : public Kestrin::IClock
{
public:
    uint32_t Now() override { return now; }
    void Sleep(uint32_t ms) override { now += ms; }
    uint64_t Micros() override { return uint64_t(now) * 1000; }
    uint32_t now = 100000;
};

// A music channel under a category at half volume, as the platform's channels sit below theirs.
class MusicChannel : public Kestrin::ISoundChannel
{
public:
    MusicChannel() { category->SetVolume(0.5f); }
    ~MusicChannel() override
    {
        own->Release();
        category->Release();
    }
    void AddRef() override {}
    void Release() override {}
    void Play(Kestrin::ISound*, int) override { playing = true; }
    void Stop() override
    {
        playing = false;
        ++stops;
    }
    bool IsPlaying() override { return playing; }
    Kestrin::ISound* GetSound() override { return nullptr; }
    Kestrin::IAudioControls* GetControls() override { return own; }
    void SetControls(Kestrin::IAudioControls*) override {}
    void Refresh() override {}

    Kestrin::BASSAudioControls* category = new Kestrin::BASSAudioControls(nullptr);
    Kestrin::BASSAudioControls* own = new Kestrin::BASSAudioControls(category);
    bool playing = false;
    int stops = 0;
};

// The level with the pop-ups it asks for noted.
class RecordingLevel : public NimbalLevel
{
public:
    RecordingLevel() : NimbalLevel(NoSetUp{}) {}
    void ShowLoopFeedback(LoopResult result, Vector2f point) override
    {
        feedback.push_back(NameOf(result));
        NimbalLevel::ShowLoopFeedback(result, point);
    }
    void ShowPowerUpFeedback(int kind, Vector2f point, bool ready) override
    {
        feedback.push_back(std::string(NameOf(GremlinKind(kind))) + (ready ? "_Ready" : "_Used"));
        NimbalLevel::ShowPowerUpFeedback(kind, point, ready);
    }
    std::vector<std::string> feedback;
};

const std::string LevelSounds =
    "<resources><testsound name=\"SFX_LoopSuccess\"/><testsound name=\"SFX_LoopFail\"/>"
    "<testsound name=\"SFX_BigLoopFail\"/><testsound name=\"SFX_Action-Damage\"/>"
    "<testsound name=\"MUSIC_melody\"/><testsound name=\"SFX_FinalWarning\"/></resources>";

// A level without files in a screen of its own, with a creature factory, a recording board,
// recorded outcomes and sounds, and the music on channels of its own.
class LevelTest : public TutorialTest
{
protected:
    LevelTest()
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        resources->RegisterFactory(L"testsound", new SceneTest::TestSoundFactory);
        Kestrin::MemoryStream stream(L"LevelSounds", LevelSounds.data(), uint32_t(LevelSounds.size()));
        resources->Load(L"LevelSounds", &stream, nullptr);
        Kestrin::SetSoundPlayer(
            [this](Kestrin::ISound* sound, const Kestrin::SoundPlayParams&, Kestrin::ISoundChannel** out)
            {
                auto* descriptor = dynamic_cast<Kestrin::IResourceDescriptor*>(sound);
                const std::string name = descriptor ? descriptor->GetName().c_str() : "?";
                played.push_back(name);
                MusicChannel* channel = name == "MUSIC_melody"       ? &melody
                                        : name == "SFX_FinalWarning" ? &warning
                                                                     : nullptr;
                if (channel && out)
                {
                    channel->Play(sound, 0);
                    *out = channel;
                }
            });
        Kestrin::SetClock(&clock);
        SetLevelOutcomeHooks({[this](bool expert, int playerTime, int expertTime)
                              {
                                  outcomes.push_back("success " + std::to_string(expert) + " " +
                                                     std::to_string(playerTime) + " " +
                                                     std::to_string(expertTime));
                              },
                              [this](const std::wstring& reason, int value)
                              {
                                  outcomes.push_back("failure " + std::string(reason.begin(), reason.end()) +
                                                     " " + std::to_string(value));
                              }});
        GlobalSettings::Instance().clickTime = 250;
        TutorialManager::Instance().ReadFlags();
        factory = new GremlinFactory();
        host.database.AddObject(factory);
        level = new RecordingLevel;
        host.database.AddObject(level);
    }
    ~LevelTest() override
    {
        MusicManager::Instance().ReleaseChannels();
        Kestrin::SetSoundPlayer(nullptr);
        Kestrin::SetClock(nullptr);
    }

    // Runs the level for `seconds` in 20 ms steps.
    void Run(float seconds)
    {
        for (int i = 0; i < int(seconds / 0.02f + 0.5f); ++i)
            level->Update(0.02f);
    }

    BoostRandomNumberStream random{1234};
    Kestrin::ScopedRandomStream scopedRandom{&random};
    HostScreen host;
    FakeGunkBoard board;
    ScopedGunkBoard scopedBoard{board};
    ManualClock clock;
    std::vector<std::string> outcomes;
    // The play-data lines, written while the test holds the file system.
    std::vector<std::string> PlayDataFields() const
    {
        auto it = playData.files.find({1, L".", L"PlayData.log"});
        std::vector<std::string> fields(1);
        for (char c : it == playData.files.end() ? std::string() : it->second)
        {
            if (c == '\t' || c == '\n')
                fields.emplace_back();
            else
                fields.back().push_back(c);
        }
        return fields;
    }
    std::vector<std::string> played;
    MusicChannel melody, warning;
    KestrinTest::FakeFileSystem playData;
    GremlinFactory* factory = nullptr;
    RecordingLevel* level = nullptr;
};

// The tutorial pop-ups queued after the first `from` requests.
std::vector<int> PopupsSince(const Kestrin::Looper& looper, size_t from)
{
    std::vector<int> ids;
    const auto& requests = looper.GetPendingRequests();
    for (size_t i = from; i < requests.size(); ++i)
        if (auto* popup = dynamic_cast<TutorialPopupMode*>(requests[i].mode))
            ids.push_back(popup->tutorialId);
    return ids;
}

TEST_F(LevelTest, ClockWaitsForTheStartThenLosingFloodsAndAsksForTheOutroOnce)
{
    level->timeLimit = level->timeRemaining = 5.0f;
    Run(1.0f);
    EXPECT_EQ(level->timeRemaining, 5.0f) << "the clock runs before the start";
    EXPECT_FALSE(level->warned30 || level->warned10 || level->lost);

    level->Start();
    EXPECT_TRUE(factory->spawning);
    EXPECT_FALSE(level->notStarted);
    level->Update(0.02f);
    EXPECT_TRUE(level->warned30 && level->warned10) << "both warnings in the first running step";

    Run(4.98f);
    EXPECT_FALSE(level->lost);
    Kestrin::SetFileSystem(&playData);
    level->Update(0.02f);
    Kestrin::SetFileSystem(&fs);
    ASSERT_TRUE(level->lost);
    EXPECT_EQ(level->outroDelay, 2.5f);
    // One line: time, profile, level, won, seconds, expert, gunk drops.
    const std::vector<std::string> line = PlayDataFields();
    ASSERT_EQ(line.size(), 8u) << "one line, ended by a line feed";
    EXPECT_EQ(line[3], "FALSE");
    EXPECT_EQ(line[4], "5");
    EXPECT_EQ(line[7], "");
    const float elapsed = level->timeElapsed;

    // Flooding: three layers per splash, a splash every 0.05 s or more, inside the playfield.
    Run(2.4f);
    while (level->outroDelay > 0.0f)
        level->Update(0.02f);
    EXPECT_TRUE(outcomes.empty());
    // The step that asks for the outro floods too.
    level->lastSplash = level->outroDelay + 1.0f;
    const size_t beforeLast = board.calls.size();
    level->Update(0.02f);
    EXPECT_EQ(outcomes, std::vector<std::string>{"failure Out of Time 0"});
    EXPECT_EQ(board.calls.size(), beforeLast + 3);
    const size_t splashes = board.calls.size() / 3;
    Run(1.0f);
    EXPECT_EQ(outcomes.size(), 1u) << "the outro is asked for once";
    EXPECT_EQ(level->timeElapsed, elapsed) << "the clock stops with the outcome";
    ASSERT_FALSE(board.calls.empty());
    EXPECT_EQ(board.calls.size() % 3, 0u);
    EXPECT_GE(splashes, 2.5f / 0.06f - 2);
    EXPECT_LE(splashes, 2.5f / 0.04f);
    for (size_t i = 0; i < board.calls.size(); i += 3)
    {
        int radius = 0, x = 0, y = 0, colour = -1;
        ASSERT_EQ(std::sscanf(board.calls[i].c_str(), "AddGunk %d %d,%d %d", &radius, &x, &y, &colour), 4);
        EXPECT_EQ(board.calls[i + 1], board.calls[i]);
        EXPECT_EQ(board.calls[i + 2], board.calls[i]);
        EXPECT_TRUE(radius >= 75 && radius <= 100 && x >= 50 && x <= 750 && y >= 50 && y <= 550 &&
                    colour == 5)
            << board.calls[i];
    }
}

TEST_F(LevelTest, CleanBoardWinsAndExpertNeedsStrictlyLessTime)
{
    struct Case
    {
        float played;
        float expert;
        const char* outcome;
    };
    for (const Case& c : {Case{40.0f, 60.0f, "success 1 41 60"}, Case{60.0f, 60.0f, "success 0 61 60"},
                          Case{75.5f, 60.0f, "success 0 76 60"}})
    {
        outcomes.clear();
        level->won = level->lost = false;
        level->notStarted = false;
        level->timeLimit = level->timeRemaining = 500.0f;
        level->timeElapsed = c.played;
        level->expertTime = c.expert;
        factory->spawning = true;
        level->Update(0.0f);
        EXPECT_FALSE(level->won) << "spawning still on";

        level->OnGunkCleared();
        EXPECT_TRUE(level->gunkCleared);
        EXPECT_FALSE(factory->spawning);
        level->Update(0.0f);
        ASSERT_TRUE(level->won);
        Run(2.6f);
        EXPECT_EQ(outcomes, std::vector<std::string>{c.outcome});
    }
}

TEST_F(LevelTest, GunkNewsTogglesSpawningUnlessKingsAreToCome)
{
    factory->spawning = true;
    factory->kingBudget = 1;
    level->OnGunkCleared();
    EXPECT_TRUE(factory->spawning) << "a king still to come keeps the level going";
    EXPECT_FALSE(level->gunkCleared);

    factory->kingBudget = 0;
    TypeSettings kingSettings;
    kingSettings.maxHealth = 1;
    auto* king = new GremlinKing(300, 200, kingSettings);
    host.database.AddObject(king);
    level->OnGunkCleared();
    EXPECT_TRUE(factory->spawning) << "a living king keeps the level going";
    king->health = 0;
    level->OnGunkCleared();
    EXPECT_FALSE(factory->spawning) << "a dying king does not";
    EXPECT_TRUE(level->gunkCleared);
    EXPECT_FALSE(level->gunkClearBannerPending);

    level->OnGunkReturned();
    EXPECT_TRUE(factory->spawning);
    EXPECT_FALSE(level->gunkCleared);
    EXPECT_TRUE(level->gunkClearBannerPending);

    // Endless levels never clean up.
    GameLevels::Instance().endless = true;
    level->OnGunkCleared();
    EXPECT_TRUE(factory->spawning);
}

TEST_F(LevelTest, EndlessOverflowEndsAtOnceWithTheTimePlayed)
{
    GameLevels::Instance().endless = true;
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 100000.0f;
    board.gunkFraction = 0.9f;
    level->Update(0.02f);
    EXPECT_EQ(MusicManager::Instance().GetExtraChannel(), &warning) << "past four fifths the warning sounds";
    board.gunkFraction = 0.8f;
    Run(2.0f);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_EQ(warning.stops, 1) << "four fifths exactly stops it";
    EXPECT_EQ(MusicManager::Instance().GetExtraChannel(), nullptr);
    board.gunkFraction = 1.2f;
    level->timeElapsed = 93.7f;
    level->Update(0.02f);
    level->Update(0.02f);
    EXPECT_EQ(outcomes, std::vector<std::string>{"failure Too Much Gunk! 93"});
    EXPECT_FALSE(level->lost || level->won);
}

TEST_F(LevelTest, ReleasingALineNeedsMoreThanTheClickTime)
{
    GremlinHome trap(GremlinColorType::Red, {100, 100}, GremlinKind::Basic, false);
    SetLastTrapClickTime(clock.now);
    Line* first = level->BeginLine({110, 110}, &trap, GremlinColorType::Red, GremlinKind::Basic);
    ASSERT_EQ(level->currentLine, first);
    EXPECT_TRUE(level->drawing);

    clock.now += 250;
    level->OnPlayfieldPress();
    EXPECT_EQ(level->currentLine, first) << "a press within the click time keeps the line";
    clock.now += 1;
    level->OnPlayfieldPress();
    EXPECT_EQ(level->currentLine, nullptr);
    EXPECT_FALSE(level->drawing);
    EXPECT_TRUE(first->retracting);
    EXPECT_FALSE(first->drawing);
    level->OnPlayfieldPress(); // idempotent

    // A second trap pulled while a line is held drops the first line.
    Line* second = level->BeginLine({110, 110}, &trap, GremlinColorType::Red, GremlinKind::Basic);
    Line* third = level->BeginLine({110, 110}, &trap, GremlinColorType::Blue, GremlinKind::Basic);
    EXPECT_TRUE(second->retracting);
    EXPECT_FALSE(second->drawing);
    EXPECT_EQ(level->currentLine, third);
    EXPECT_TRUE(third->drawing);
}

// Each loop closes round the square (200, 200)-(400, 400), with the line's own trap inside; what
// else is inside, what the line holds and what it cleans decide the score, sound, pop-up and
// tutorial. The bad-loop and no-creature tutorials show once per player.
TEST_F(LevelTest, LoopScoringByWhatTheLineHoldsAndEncloses)
{
    GremlinHome trap(GremlinColorType::Red, {280, 285}, GremlinKind::Basic, false);
    enum class Inside
    {
        Nothing,
        SecondTrap,
        Obstacle,
        FreeCreature,
        SpearedCreature,
        King,
    };
    struct Case
    {
        const char* what;
        int effect; // the line's Line::PowerUpEffect by number
        size_t held;
        bool cleaned;
        Inside inside;
        int result; // the LoopVerdict by number
        bool cleans;
        std::vector<std::string> sounds;
        std::vector<std::string> feedback;
        std::vector<int> tutorials;
        int kingHealth;
    };
    using S = std::vector<std::string>;
    const std::vector<Case> cases = {
        {"empty line", 0, 0, false, Inside::Nothing, -1, false, {"SFX_LoopFail"}, {"NoGremlin"}, {13}, 0},
        {"empty line again", 0, 0, false, Inside::Nothing, -1, false, {"SFX_LoopFail"}, {"NoGremlin"}, {}, 0},
        {"ordinary line, nothing cleaned",
         0,
         2,
         false,
         Inside::Nothing,
         1,
         true,
         {"SFX_LoopSuccess"},
         {"GoodLoop"},
         {},
         0},
        {"deep clean that cleaned nothing",
         1,
         3,
         false,
         Inside::Nothing,
         -1,
         true,
         {"SFX_LoopFail"},
         {},
         {},
         0},
        {"deep clean that cleaned",
         1,
         3,
         true,
         Inside::Nothing,
         1,
         true,
         {"SFX_LoopSuccess"},
         {"DeepClean_Used"},
         {},
         0},
        {"damage line without kings or gunk",
         2,
         1,
         false,
         Inside::Nothing,
         -1,
         true,
         S{"SFX_Action-Damage", "SFX_LoopFail"},
         {},
         {},
         0},
        {"a second trap, four held",
         0,
         4,
         true,
         Inside::SecondTrap,
         -1,
         false,
         {"SFX_LoopFail"},
         {"BadLoop"},
         {9},
         0},
        {"a second trap, five held",
         0,
         5,
         true,
         Inside::SecondTrap,
         -1,
         false,
         {"SFX_BigLoopFail"},
         {"BadLoop"},
         {},
         0},
        {"an obstacle", 0, 2, true, Inside::Obstacle, -1, false, {"SFX_LoopFail"}, {"BadLoop"}, {}, 0},
        {"a creature not on the line",
         0,
         2,
         true,
         Inside::FreeCreature,
         -1,
         false,
         {"SFX_LoopFail"},
         {"BadLoop"},
         {},
         0},
        {"a creature speared on the line",
         0,
         2,
         false,
         Inside::SpearedCreature,
         1,
         true,
         {"SFX_LoopSuccess"},
         {"GoodLoop"},
         {},
         0},
        {"an ordinary line round a king",
         0,
         1,
         false,
         Inside::King,
         1,
         true,
         {"SFX_LoopSuccess"},
         {"GoodLoop"},
         {},
         9},
        {"a damage line round a king",
         2,
         1,
         false,
         Inside::King,
         1,
         true,
         S{"SFX_Action-Damage", "SFX_LoopSuccess"},
         {"GoodLoop"},
         {},
         7},
    };
    TypeSettings kingTuning;
    kingTuning.maxHealth = 10;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Line line(300, 300, nullptr, GremlinColorType::Red, GremlinKind::Basic);
        line.trap = &trap;
        line.headSegment->SetEnd({200, 200});
        for (Vector2f p : {Vector2f(400, 200), Vector2f(400, 400), Vector2f(200, 400)})
            line.AddPathPoint(p);
        line.headSegment->SetEnd({200, 210});
        line.OnSelfCrossing(line.headSegment, line.firstSegment);
        ASSERT_TRUE(line.IsInsideLoop(trap.GetCentre()));
        line.powerUpEffect = Line::PowerUpEffect(c.effect);
        line.powerUpDamage = 3;
        line.attached.assign(c.held, nullptr);
        line.mostHeld = int(c.held);
        // Centred on (250, 350).
        std::unique_ptr<GameObject> inside;
        GremlinKing* king = nullptr;
        switch (c.inside)
        {
        case Inside::Nothing:
            break;
        case Inside::SecondTrap:
            inside = std::make_unique<GremlinHome>(GremlinColorType::Blue, Vector2f(230, 335),
                                                   GremlinKind::Basic, false);
            break;
        case Inside::Obstacle:
            inside = std::make_unique<GameObstacle>(Vector2f(240, 340), 20.0f, 20.0f, nullptr);
            break;
        case Inside::FreeCreature:
        case Inside::SpearedCreature:
        {
            auto creature = std::make_unique<Gremlin>(kingTuning, 210.0f, 310.0f);
            if (c.inside == Inside::SpearedCreature)
                creature->line = &line;
            inside = std::move(creature);
            break;
        }
        case Inside::King:
            inside.reset(king = new GremlinKing(210, 310, kingTuning));
            break;
        }
        board.cleaned = c.cleaned;
        board.calls.clear();
        played.clear();
        level->feedback.clear();
        const size_t requests = looper->GetPendingRequests().size();
        EXPECT_EQ(level->EvaluateLoop(&line), LoopVerdict(c.result));
        EXPECT_EQ(line.loopScored, LoopVerdict(c.result) == LoopVerdict::Good);
        EXPECT_EQ(!board.calls.empty(), c.cleans);
        EXPECT_EQ(played, c.sounds);
        EXPECT_EQ(level->feedback, c.feedback);
        EXPECT_EQ(PopupsSince(*looper, requests), c.tutorials);
        if (king)
        {
            EXPECT_EQ(king->health, c.kingHealth);
        }
    }
}

TEST_F(LevelTest, TutorialStepsWaitForWhatTheyPointAt)
{
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 500.0f;
    factory->spawning = true;
    level->tutorialStep = TutorialId::BasicsTrap;
    Run(0.1f);
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsTrap) << "no trap to point at yet";
    level->tutorialStep = TutorialId::BasicsCreature;
    level->ShowTrapTutorial();
    EXPECT_EQ(level->tutorialStep, TutorialId::BasicsCreature) << "no creature to point at yet";

    level->tutorialStep = TutorialId::BasicsLoop;
    level->OnGunkCleared();
    EXPECT_EQ(level->tutorialStep, TutorialId::None) << "a clean board with no creature left ends the basics";
    EXPECT_EQ(PopupsSince(*looper, 0), std::vector<int>{});

    // With a creature still to catch the clean board's hint shows, once.
    host.database.AddObject(new BasicGremlin(300, 200, TypeSettings{}));
    level->tutorialStep = TutorialId::BasicsLoop;
    level->OnGunkCleared();
    level->OnGunkCleared();
    EXPECT_EQ(level->tutorialStep, TutorialId::None);
    EXPECT_EQ(PopupsSince(*looper, 0), std::vector<int>{5});
}

TEST_F(LevelTest, AFreezeEndsWhenItRunsOutOrNoCreatureIsLeft)
{
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 500.0f;
    factory->spawning = true;
    factory->spawnPause = 5.0f;
    level->creatureEffect = CreatureEffect::Freeze;
    level->freezeTimer = 3.0f;
    level->Update(0.02f);
    EXPECT_EQ(level->freezeTimer, 0.0f) << "no ordinary creature is left to freeze";
    EXPECT_EQ(factory->spawnPause, 0.0f);
    EXPECT_EQ(level->creatureEffect, CreatureEffect::None);

    factory->spawnPause = 5.0f;
    level->creatureEffect = CreatureEffect::Shrink;
    level->Update(0.02f);
    EXPECT_EQ(factory->spawnPause, 5.0f) << "no freeze, nothing to end";
    EXPECT_EQ(level->creatureEffect, CreatureEffect::Shrink);

    // With a creature left the freeze counts down, then thaws every creature.
    auto* tic = new BasicGremlin(300, 200, TypeSettings{});
    host.database.AddObject(tic);
    tic->affected = Gremlin::AffectedBy::Frozen;
    tic->needsRestage = false;
    level->creatureEffect = CreatureEffect::Freeze;
    level->freezeTimer = 0.05f;
    level->Update(0.02f);
    EXPECT_FLOAT_EQ(level->freezeTimer, 0.03f);
    EXPECT_EQ(factory->spawnPause, 5.0f);
    EXPECT_EQ(tic->affected, Gremlin::AffectedBy::Frozen);
    level->Update(0.02f);
    EXPECT_EQ(tic->affected, Gremlin::AffectedBy::Frozen) << "0.01 s left";
    level->Update(0.02f);
    EXPECT_EQ(factory->spawnPause, 0.0f) << "the freeze ran out";
    EXPECT_EQ(level->creatureEffect, CreatureEffect::None);
    EXPECT_EQ(tic->affected, Gremlin::AffectedBy::None);
    EXPECT_TRUE(tic->needsRestage);
}

// The melody swells to full while a line is drawn, whatever the music category's volume, and
// falls silent a step at a time once the line is let go.
TEST_F(LevelTest, TheMelodySwellsToFullWhileALineIsDrawn)
{
    MusicManager::Instance().Play(MusicTrack::Level, true);
    ASSERT_EQ(MusicManager::Instance().GetMelodyChannel(), &melody);
    melody.own->SetVolume(0.3f);
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 500.0f;
    factory->spawning = true;
    level->mousePosition = {120, 100};
    level->BeginLine({100, 100}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    Run(0.6f);
    EXPECT_EQ(level->melodyLevel, 1);
    EXPECT_FLOAT_EQ(melody.own->GetOwnVolume(), 1.0f);
    level->RetractLine();
    level->Update(0.02f);
    EXPECT_EQ(melody.own->GetOwnVolume(), 0.0f);
}

} // namespace
