// The campaign in the level's own screen: every level and board file builds its level, and every
// level runs under the scripted player with a seeded stream, ending without an exception and with
// no more creatures than its factory allows.
#include "harness/DataCheck.h"

#include "Framework/AccountManager.h"
#include "Framework/FileSystem.h"
#include "Framework/LibXmlReader.h"
#include "Game/EndlessSludgeGenerator.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/LevelFile.h"
#include "Game/Line.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialBubble.h"
#include "Platform/Looper.h"
#include "Scene/SceneNode.h"
#include "Screens/GameMode.h"

#include "harness/ErrorBoxRecorder.h"
#include "harness/FakeClock.h"
#include "harness/LevelPlay.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <libxml++/libxml++.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

// The level's outcome writes "PlayData.log" at the data root: the runs play on a copy.
class CampaignPlay : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        copy = std::make_unique<KestrinTest::TempFolder>();
        fs::copy(fs::path(KESTRIN_SOURCE_DIR) / "data", copy->Path(), fs::copy_options::recursive);
        tree = std::make_unique<DataCheck::LoadedTree>(copy->Path());
        Playtest::ReadCampaign();
    }
    static void TearDownTestSuite()
    {
        tree.reset();
        copy.reset();
    }

    static std::vector<std::pair<std::string, bool>> Levels()
    {
        std::vector<std::pair<std::string, bool>> levels;
        const GameLevels& catalogue = GameLevels::Instance();
        for (const std::string& name : catalogue.order)
            levels.push_back({name, false});
        for (const auto& [name, record] : catalogue.records)
            if (std::find(catalogue.order.begin(), catalogue.order.end(), name) == catalogue.order.end())
                levels.push_back({name, true});
        return levels;
    }

    static std::unique_ptr<KestrinTest::TempFolder> copy;
    static std::unique_ptr<DataCheck::LoadedTree> tree;
};
std::unique_ptr<KestrinTest::TempFolder> CampaignPlay::copy;
std::unique_ptr<DataCheck::LoadedTree> CampaignPlay::tree;

// The board suffixes an endless level's obstacle sets name.
std::vector<std::string> BoardSuffixes(const std::string& level)
{
    std::vector<std::string> suffixes;
    LibXmlReader reader(Kestrin::FileSpec(1, std::wstring(level.begin(), level.end()), L".xml"));
    const xmlpp::Element* data = reader.GetRequiredChild(reader.GetRootElement(), "LevelData");
    for (const xmlpp::Element* set :
         LibXmlReader::GetChildElements(reader.GetRequiredChild(data, "Obstacles"), "ObstacleSet"))
    {
        bool found = false;
        const std::string suffix = ReadAttribute(set, "gunkBoard", reader, true, found);
        suffixes.push_back(found ? "-" + suffix : "");
    }
    return suffixes;
}

// What the level built from its file: the factory's zones by meta type, the kings, the endless
// growth and gunk wells, the trap zones.
void ExpectBuiltAsRead(NimbalLevel& level, const std::string& name, bool endless)
{
    const LevelFileData file = ReadLevelFile(LevelFileSpec(name), endless);
    Kestrin::ObjectDatabase* database = level.GetDatabase();
    ASSERT_TRUE(database) << name;
    auto* factory = dynamic_cast<GremlinFactory*>(database->FindObject(GameNames::GremlinFactory));
    auto* traps = dynamic_cast<GremlinHomeFactory*>(database->FindObject(GameNames::GremlinHomeFactory));
    ASSERT_TRUE(factory && traps) << name;
    std::map<GremlinMetaType, size_t> zones;
    for (const LevelZoneData& zone : file.zones)
        ++zones[zone.type];
    EXPECT_EQ(factory->normalZones.size(), zones[GremlinMetaType::Normal]) << name;
    EXPECT_EQ(factory->kingZones.size(), zones[GremlinMetaType::King]) << name;
    EXPECT_EQ(factory->powerUpZones.size(), zones[GremlinMetaType::PowerUp]) << name;
    EXPECT_GE(factory->normalZones.size(), 1u) << name;
    if (file.kings.kingTypes > 0)
    {
        EXPECT_EQ(factory->kingBudget, endless ? INT_MAX : file.kings.kingTypes) << name;
        EXPECT_EQ(factory->numMaxMegaTics, file.kings.numMaxMegaTics) << name;
        EXPECT_GE(factory->kingTimer, file.kings.megaTicDelayMin) << name;
        EXPECT_LE(factory->kingTimer, file.kings.megaTicDelayMax) << name;
    }
    else
        EXPECT_EQ(factory->kingBudget, 0) << name;
    auto* wells =
        dynamic_cast<EndlessSludgeGenerator*>(database->FindObject(GameNames::EndlessSludgeGenerator));
    EXPECT_EQ(wells ? wells->zones.size() : 0u, endless ? file.sludgeZones.size() : 0u) << name;
    if (endless)
    {
        EXPECT_EQ(factory->waveSize, file.modifiers.waveInitialSize) << name;
        EXPECT_EQ(factory->maxCreaturesMax, file.modifiers.maxCreaturesMax) << name;
    }
    size_t definitions = 0;
    for (const auto& zone : traps->zones)
        definitions += zone->defs.size();
    size_t read = 0;
    for (const TrapZoneData& zone : file.trapZones)
        read += zone.defs.size();
    // One definition waits in the queue for the first slot.
    EXPECT_EQ(traps->zones.size(), file.trapZones.size()) << name;
    EXPECT_EQ(definitions + 1, read) << name;
}

TEST_F(CampaignPlay, EveryLevelAndBoardBuildsItsLevel)
{
    ASSERT_TRUE(tree->LoadReport().problems.empty());
    const auto levels = Levels();
    ASSERT_EQ(levels.size(), 76u);
    int boards = 0;
    for (const auto& [name, endless] : levels)
    {
        Playtest::RunOptions options;
        options.seconds = 0.0f;
        int boardsHere = 0;
        options.afterLoad = [&, endless = endless, name = name](NimbalLevel& level)
        {
            EXPECT_FALSE(level.boardPatches.empty() && !endless) << name << ": a normal board holds gunk";
            EXPECT_GT(level.timeLimit, level.expertTime) << name;
            ExpectBuiltAsRead(level, name, endless);
            for (const std::string& suffix : endless ? BoardSuffixes(name) : std::vector<std::string>{""})
            {
                level.boardSuffix = suffix;
                EXPECT_TRUE(level.LoadBoardFile()) << name << " board " << suffix;
                EXPECT_FALSE(level.loadFailed) << name << " board " << suffix;
                ++boardsHere;
            }
        };
        const Playtest::LevelRun run = Playtest::PlayLevel(name, endless, options);
        EXPECT_TRUE(run.loaded) << name << ": " << run.error;
        EXPECT_EQ(run.error, "") << name;
        boards += boardsHere;
    }
    EXPECT_EQ(boards, 82);
}

// Simulated seconds per level in the suite; the campaign play program runs the whole minute.
float SmokeSeconds()
{
    const char* text = std::getenv("KESTRIN_SMOKE_SECONDS");
    return text ? std::strtof(text, nullptr) : 12.0f;
}

TEST_F(CampaignPlay, EveryLevelPlaysWithoutFaultWithinItsCreatureLimits)
{
    Playtest::PlayerCounts total;
    for (const auto& [name, endless] : Levels())
    {
        Playtest::RunOptions options;
        options.seconds = SmokeSeconds();
        options.seed = uint32_t(std::hash<std::string>()(name));
        const Playtest::LevelRun run = Playtest::PlayLevel(name, endless, options);
        ASSERT_TRUE(run.loaded) << name << ": " << run.error;
        EXPECT_EQ(run.error, "") << name;
        EXPECT_FALSE(run.won || run.lost) << name << ": decided within " << run.seconds << " s";
        EXPECT_NEAR(run.seconds, options.seconds, 0.05f) << name;
        EXPECT_EQ(run.stepsOverLimit, 0)
            << name << ": at most " << run.mostWandering << " wandering (limit " << run.wanderingLimit
            << "), " << run.mostKings << " kings (limit " << run.kingLimit << ")";
        total.presses += run.counts.presses;
        total.lines += run.counts.lines;
        total.spears += run.counts.spears;
        total.loops += run.counts.loops;
    }
    // The same seed plays the same game: the playtest table can be made again.
    for (const char* name : {"2-01 Zoe", "Endless Jason"})
    {
        Playtest::RunOptions options;
        options.seconds = SmokeSeconds();
        options.seed = 99;
        const bool endless = std::string(name).rfind("Endless", 0) == 0;
        const Playtest::LevelRun first = Playtest::PlayLevel(name, endless, options);
        const Playtest::LevelRun again = Playtest::PlayLevel(name, endless, options);
        EXPECT_GT(first.counts.presses, 0) << name;
        EXPECT_EQ(first.counts.presses, again.counts.presses) << name;
        EXPECT_EQ(first.counts.spears, again.counts.spears) << name;
        EXPECT_EQ(first.counts.loops, again.counts.loops) << name;
        EXPECT_EQ(first.gunkLeft, again.gunkLeft) << name;
        EXPECT_EQ(first.mostWandering, again.mostWandering) << name;
    }
    // The game's own screen hosts the level the same way.
    Playtest::RunOptions options;
    options.seconds = SmokeSeconds();
    options.seed = 7;
    options.makeScreen = [] { return new GameMode; };
    const Playtest::LevelRun run = Playtest::PlayLevel("1-04 Miranda", false, options);
    EXPECT_TRUE(run.loaded && run.error.empty()) << run.error;
    EXPECT_GT(run.counts.lines, 0);
    EXPECT_GT(run.counts.spears, 0);
    // The player reaches the game through the mouse alone: presses make lines, lines catch.
    EXPECT_GT(total.presses, 76);
    EXPECT_GT(total.lines, total.presses / 2);
    EXPECT_GT(total.spears, 0);
    EXPECT_GT(total.loops, 0);
}

// The tree stands in for the game's start-up: the profile the game makes for a new player is saved
// in a player folder of the tree's own, with no error box.
TEST_F(CampaignPlay, TheNewPlayersProfileIsSavedAsAtTheGamesStart)
{
    KestrinTest::ErrorBoxRecorder boxes;
    delete Kestrin::AccountManager::Existing();
    const Kestrin::Account* player = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    std::vector<Kestrin::FileSpec> files;
    Kestrin::GetFileSystem()->ListFiles(Kestrin::FileSpec(2, L"*", L".act", L"."), files);
    ASSERT_TRUE(player && files.size() == 1) << files.size();
    EXPECT_EQ(files[0].name, player->GetFileSpec().name);
    EXPECT_EQ(boxes.boxes, std::vector<KestrinTest::ErrorBoxRecorder::Box>{});
}

} // namespace

namespace
{

uint32_t SeedOf(const std::string& name)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

// Won or lost, the level runs its outro: a trap taken out by the failure outro while it still hauls
// a catch, the success fireworks, the log line. The player wins the first week's appointments; a
// clock cut to 20 s runs out on it mid-play.
TEST_F(CampaignPlay, LevelsPlayedToTheirEndAreDecidedAndRunTheirOutro)
{
    for (const auto& [name, clock] :
         {std::pair{"1-01 Harley", 0.0f}, {"1-07 Zoe", 0.0f}, {"3-02 Miranda", 20.0f}})
    {
        Playtest::RunOptions options;
        options.untilEnd = true;
        options.seed = SeedOf(name);
        if (clock > 0.0f)
            options.afterLoad = [clock = clock](NimbalLevel& level)
            { level.timeLimit = level.timeRemaining = clock; };
        const Playtest::LevelRun run = Playtest::PlayLevel(name, false, options);
        EXPECT_EQ(run.error, "") << name;
        const float limit = clock > 0.0f ? clock : ReadLevelFile(LevelFileSpec(name), false).timeLimit;
        EXPECT_LE(run.seconds, limit + 30.0f) << name;
        if (clock > 0.0f)
        {
            EXPECT_TRUE(run.lost) << name << ": not lost after " << run.seconds << " s";
            EXPECT_GE(run.seconds, limit) << name << ": lost before the time ran out";
            EXPECT_GT(run.counts.spears, 0) << name;
        }
        else
            EXPECT_TRUE(run.won) << name << ": not won after " << run.seconds << " s";
    }
    EXPECT_TRUE(fs::exists(fs::path(copy->Path()) / "PlayData.log"));
}

} // namespace

namespace
{

// The failure outro takes the traps out while creatures still walk into them: a capture in that
// frame must not hang its effect under the trap's nodes, which go with the trap.
TEST_F(CampaignPlay, ATrapOnItsWayOutAddsNoCaptureEffect)
{
    KestrinTest::FakeClock clock;
    auto looper = std::make_unique<Kestrin::Looper>();
    auto* screen = new Playtest::LevelHostScreen;
    looper->PushModeNow(screen);
    auto* trap = new GremlinHome(GremlinColorType::Red, {200, 200}, GremlinKind::Basic, false);
    trap->AddToScene(*screen, FindNodeAtPath(screen->GetRootNode(), NodePath::CreatureLayerNode));
    SceneNode* effects = FindNodeAtPath(trap->GetNode(), NodePath::TrapCaptureFX);
    ASSERT_TRUE(effects);
    trap->OnCapture(nullptr);
    ASSERT_EQ(effects->GetChildCount(), 1u) << "a trap in play shows its capture";
    screen->RemoveObject(trap->GetHandle());
    trap->OnCapture(nullptr);
    EXPECT_EQ(effects->GetChildCount(), 1u);
    EXPECT_EQ(trap->captures, 2);
    for (int i = 0; i < 100; ++i)
        looper->UpdateAll(0.02f);
}

// The same outro takes a trap and its line out in one frame; whichever is deleted first, the other
// must not reach it.
TEST_F(CampaignPlay, ALineAndItsTrapTakenOutTogetherForgetEachOther)
{
    KestrinTest::FakeClock clock;
    auto looper = std::make_unique<Kestrin::Looper>();
    auto* screen = new Playtest::LevelHostScreen;
    looper->PushModeNow(screen);
    auto* trap = new GremlinHome(GremlinColorType::Blue, {300, 300}, GremlinKind::Basic, false);
    trap->AddToScene(*screen, FindNodeAtPath(screen->GetRootNode(), NodePath::CreatureLayerNode));
    auto* line = new Line(310, 310, trap, GremlinColorType::Blue, GremlinKind::Basic);
    screen->AddObject(line);
    ASSERT_EQ(trap->lines, std::vector<Line*>{line});
    screen->RemoveObject(line->GetHandle());
    EXPECT_TRUE(trap->lines.empty());
    EXPECT_EQ(line->trap, nullptr) << "the trap no longer lists the line, so it would not clear this";
    screen->RemoveObject(trap->GetHandle());
    looper->UpdateAll(0.02f);
    looper.reset();
}

} // namespace
