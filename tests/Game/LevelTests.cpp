#include "Base/Clock.h"
#include "Base/Random.h"
#include "Game/GameClock.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinFactory.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"
#include "Game/LevelOutcome.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialManager.h"

#include "CollisionTestSupport.h"
#include "GameStubs/GameFakes.h"
#include "TutorialTests.h"

#include <gtest/gtest.h>

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

// A level without files in a screen of its own, with a creature factory, a recording board and
// recorded outcomes.
class LevelTest : public TutorialTest
{
protected:
    LevelTest()
    {
        InstallGunkBoard(&board);
        Kestrin::SetClock(&clock);
        SetLevelOutcomeHooks({[this](bool expert, int playerTime, int expertTime)
                              { outcomes.push_back("success " + std::to_string(expert) + " " +
                                                   std::to_string(playerTime) + " " + std::to_string(expertTime)); },
                              [this](const std::wstring& reason, int value)
                              {
                                  outcomes.push_back("failure " + std::string(reason.begin(), reason.end()) + " " +
                                                     std::to_string(value));
                              }});
        GameLevels::Instance().endless = false;
        GlobalSettings::Instance().clickTime = 250;
        TutorialManager::Instance().ReadFlags();
        factory = new GremlinFactory();
        host.database.AddObject(factory);
        level = new NimbalLevel(NimbalLevel::NoSetUp{});
        host.database.AddObject(level);
    }
    ~LevelTest() override
    {
        SetLevelOutcomeHooks({});
        Kestrin::SetClock(nullptr);
        InstallGunkBoard(nullptr);
        GameLevels::Instance().endless = false;
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
    ManualClock clock;
    std::vector<std::string> outcomes;
    GremlinFactory* factory = nullptr;
    NimbalLevel* level = nullptr;
};

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
    level->Update(0.02f);
    ASSERT_TRUE(level->lost);
    EXPECT_EQ(level->outroDelay, 2.5f);
    const float elapsed = level->timeElapsed;

    // Flooding: three layers per splash, a splash every 0.05 s or more, inside the playfield.
    Run(2.4f);
    EXPECT_TRUE(outcomes.empty());
    Run(0.2f);
    EXPECT_EQ(outcomes, std::vector<std::string>{"failure Out of Time 0"});
    Run(1.0f);
    EXPECT_EQ(outcomes.size(), 1u) << "the outro is asked for once";
    EXPECT_EQ(level->timeElapsed, elapsed) << "the clock stops with the outcome";
    ASSERT_FALSE(board.calls.empty());
    EXPECT_EQ(board.calls.size() % 3, 0u);
    const size_t splashes = board.calls.size() / 3;
    EXPECT_GE(splashes, 2.5f / 0.06f - 2);
    EXPECT_LE(splashes, 2.5f / 0.04f);
    for (size_t i = 0; i < board.calls.size(); i += 3)
    {
        int radius = 0, x = 0, y = 0, colour = -1;
        ASSERT_EQ(std::sscanf(board.calls[i].c_str(), "AddGunk %d %d,%d %d", &radius, &x, &y, &colour), 4);
        EXPECT_EQ(board.calls[i + 1], board.calls[i]);
        EXPECT_EQ(board.calls[i + 2], board.calls[i]);
        EXPECT_TRUE(radius >= 75 && radius <= 100 && x >= 50 && x <= 750 && y >= 50 && y <= 550 && colour == 5)
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
    board.gunkFraction = 0.8f;
    Run(2.0f);
    EXPECT_TRUE(outcomes.empty());
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

TEST_F(LevelTest, LoopScoringByWhatTheLineHolds)
{
    GremlinHome trap(GremlinColorType::Red, {100, 100}, GremlinKind::Basic, false);
    struct Case
    {
        const char* what;
        int effect;
        size_t held;
        bool cleaned;
        int result;
        bool scored;
        bool cleans;
    };
    const std::vector<Case> cases = {
        {"empty line", 0, 0, false, -1, false, false},
        {"ordinary line, nothing cleaned", 0, 2, false, 1, true, true},
        {"deep clean that cleaned nothing", 1, 3, false, -1, false, true},
        {"deep clean that cleaned", 1, 3, true, 1, true, true},
        {"damage line without kings or gunk", 2, 1, false, -1, false, true},
    };
    for (const Case& c : cases)
    {
        Line line(110, 110, &trap, GremlinColorType::Red, GremlinKind::Basic);
        line.powerUpEffect = c.effect;
        line.attached.assign(c.held, nullptr);
        line.mostHeld = int(c.held);
        board.cleaned = c.cleaned;
        board.calls.clear();
        EXPECT_EQ(level->EvaluateLoop(&line), c.result) << c.what;
        EXPECT_EQ(line.loopScored, c.scored) << c.what;
        EXPECT_EQ(!board.calls.empty(), c.cleans) << c.what;
    }
}

TEST_F(LevelTest, TutorialStepsWaitForWhatTheyPointAt)
{
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 500.0f;
    factory->spawning = true;
    level->tutorialStep = 1;
    Run(0.1f);
    EXPECT_EQ(level->tutorialStep, 1) << "no trap to point at yet";
    level->tutorialStep = 2;
    level->ShowTrapTutorial();
    EXPECT_EQ(level->tutorialStep, 2) << "no creature to point at yet";

    level->tutorialStep = 4;
    level->OnGunkCleared();
    EXPECT_EQ(level->tutorialStep, 17) << "a clean board with no creature left ends the basics";
}

TEST_F(LevelTest, AFreezeEndsWhenItRunsOutOrNoCreatureIsLeft)
{
    level->notStarted = false;
    level->timeLimit = level->timeRemaining = 500.0f;
    factory->spawning = true;
    factory->spawnPause = 5.0f;
    level->creatureEffect = 1;
    level->freezeTimer = 3.0f;
    level->Update(0.02f);
    EXPECT_EQ(level->freezeTimer, 0.0f) << "no ordinary creature is left to freeze";
    EXPECT_EQ(factory->spawnPause, 0.0f);
    EXPECT_EQ(level->creatureEffect, 0);

    factory->spawnPause = 5.0f;
    level->creatureEffect = 2;
    level->Update(0.02f);
    EXPECT_EQ(factory->spawnPause, 5.0f) << "no freeze, nothing to end";
    EXPECT_EQ(level->creatureEffect, 2);
}

} // namespace
