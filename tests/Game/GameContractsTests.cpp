#include "Framework/ObjectDatabase.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/GunkBoard.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"

#include "GameStubs/GameFakes.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>

using namespace GameTest;

namespace
{
// Named like the level, but no level.
struct Impostor : Kestrin::Object
{
    Kestrin::NameId GetName() const override { return GameNames::NimbalLevel; }
};
} // namespace

TEST(GameContracts, TheLevelIsFoundByItsNameOnlyWhenThereIsOne)
{
    EXPECT_EQ(FindLevel(), nullptr); // no screen at all
    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase current(&screen);
    EXPECT_EQ(FindLevel(), nullptr);
    screen.AddObject(new Impostor);
    EXPECT_EQ(FindLevel(), nullptr);

    auto* fake = new FakeLevel;
    screen.AddObject(fake);
    LevelServices* level = FindLevel();
    ASSERT_EQ(level, fake);
    // The state the playfield's objects start from.
    EXPECT_EQ(level->mousePosition, Vector2f(FLT_MIN, FLT_MIN));
    EXPECT_TRUE(level->explosionsAllowed && level->notStarted && !level->drawing);
    EXPECT_EQ(level->tutorialStep, TutorialId::None);
    EXPECT_EQ(level->currentLine, nullptr);

    Line line(100, 200, nullptr, GremlinColorType::Blue, GremlinKind::Loner);
    fake->lineToBegin = &line;
    EXPECT_EQ(level->BeginLine({100, 200}, nullptr, GremlinColorType::Blue, GremlinKind::Loner), &line);
    EXPECT_TRUE(level->drawing);
    level->ShowLoopFeedback(LoopResult::TooLong, {12.5f, 40});
    level->ShowSpearValue(3, {1, 2});
    level->HaulCreature(nullptr, 4, 62.5f);
    EXPECT_EQ(level->EvaluateLoop(&line), LoopVerdict::Good);
    EXPECT_THROW(level->PathGraph(), std::logic_error);
    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{"BeginLine 100,200 Blue Loner", "ShowLoopFeedback TooLong 12.5,40",
                                        "ShowSpearValue 3 1,2", "HaulCreature 4 62.5", "EvaluateLoop"}));
}

TEST(GameContracts, TheInstalledGunkBoardTakesItsArgumentsInOrder)
{
    FakeGunkBoard fake;
    {
        ScopedGunkBoard installed(fake);
        Board().AddGunk(100, 40, 60, int(GremlinColorType::Purple));
        Board().CheckCleared();
        EXPECT_EQ(&Board(), &fake);
    }
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"AddGunk 100 40,60 4", "CheckCleared"}));
}

TEST(GameContracts, LevelsHoldTheGameBoardWhileOneLivesAndLeaveATestBoardAlone)
{
    ASSERT_EQ(InstalledGunkBoard(), nullptr);
    Board().AddGunk(100, 400, 300, int(GremlinColorType::Red));
    EXPECT_EQ(Board().GetGunkFraction(), 0.0f) << "without a level there is no board to take gunk";
    auto first = std::make_unique<NimbalLevel>(NimbalLevel::NoSetUp{});
    EXPECT_EQ(InstalledGunkBoard(), &NimbalGunk::Instance());
    auto second = std::make_unique<NimbalLevel>(NimbalLevel::NoSetUp{});
    first.reset();
    EXPECT_EQ(InstalledGunkBoard(), &NimbalGunk::Instance()) << "the second level still plays on it";
    second.reset();
    EXPECT_EQ(InstalledGunkBoard(), nullptr);

    FakeGunkBoard fake;
    ScopedGunkBoard installed(fake);
    {
        NimbalLevel level{NimbalLevel::NoSetUp{}};
        EXPECT_EQ(InstalledGunkBoard(), &fake);
    }
    EXPECT_EQ(InstalledGunkBoard(), &fake);
}

TEST(GameContracts, ObjectsJoinTheRegistriesOfTheirScreenInOrder)
{
    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase current(&screen);
    auto first = std::make_unique<Line>(0, 0, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    auto second = std::make_unique<Line>(0, 0, nullptr, GremlinColorType::Green, GremlinKind::Shy);
    EXPECT_EQ(HeldObject<Line>::GetAll(), (std::vector<Line*>{first.get(), second.get()}));
    first.reset();
    EXPECT_EQ(HeldObject<Line>::GetAll(), std::vector<Line*>{second.get()});
    EXPECT_EQ(second->color, GremlinColorType::Green);
    EXPECT_EQ(second->GetDepth(), 2.0f);

    TypeSettings settings;
    settings.sprite = CreatureSpriteId::Bomb;
    settings.color = GremlinColorType::Any;
    GremlinHome trap(GremlinColorType::Yellow, {100, 50}, GremlinKind::Any, false);
    GremlinKing king(300, 200, settings);
    EXPECT_EQ(HeldObject<GameObject>::GetAll(), (std::vector<GameObject*>{&trap, &king}));
    EXPECT_EQ(HeldObject<Gremlin>::GetAll(), std::vector<Gremlin*>{&king});
    EXPECT_EQ(HeldObject<GremlinKing>::GetAll(), std::vector<GremlinKing*>{&king});
    EXPECT_EQ(HeldObject<GremlinHome>::GetAll(), std::vector<GremlinHome*>{&trap});
    // Positions are top-left corners.
    EXPECT_EQ(trap.GetCentre(), Vector2f(120, 65));
    EXPECT_EQ(king.GetCentre(), Vector2f(340, 240));
    EXPECT_TRUE(trap.BlocksLines() && !king.BlocksLines());
    EXPECT_EQ(trap.GetCollisionPriority(), 6);
    EXPECT_EQ(king.GetCollisionPriority(), 4);
    EXPECT_EQ(king.color, GremlinColorType::Any);
}
