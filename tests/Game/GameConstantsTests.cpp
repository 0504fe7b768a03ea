#include "Game/GameConstants.h"
#include "Scene/SceneNode.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace
{
// Every name maps back to its own value, and no name is given twice.
template <typename E> void ExpectRoundTrips()
{
    const auto& names = EnumNames<E>::names;
    std::set<std::string> seen;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const E value = static_cast<E>(i);
        EXPECT_STREQ(NameOf(value), names[i]);
        ASSERT_TRUE(EnumFromName<E>(names[i]).has_value()) << names[i];
        EXPECT_EQ(*EnumFromName<E>(names[i]), value) << names[i];
        EXPECT_TRUE(seen.insert(names[i]).second) << "twice: " << names[i];
    }
}
} // namespace

TEST(GameConstants, EveryNameTableRoundTrips)
{
    ExpectRoundTrips<GuestID>();
    ExpectRoundTrips<GremlinColorType>();
    ExpectRoundTrips<GremlinKind>();
    ExpectRoundTrips<GremlinMetaType>();
    ExpectRoundTrips<CreatureSpriteId>();
    ExpectRoundTrips<LoopResult>();
    ExpectRoundTrips<LevelCompletionStatus>();
}

TEST(GameConstants, TheValuesTheDataFilesDependOnSitWhereTheyBelong)
{
    EXPECT_EQ(EnumFromName<GremlinColorType>("Any"), GremlinColorType(6));
    EXPECT_EQ(EnumFromName<GremlinKind>("Any"), GremlinKind(15));
    EXPECT_EQ(EnumFromName<GremlinMetaType>("Any"), GremlinMetaType(0));
    EXPECT_EQ(EnumFromName<CreatureSpriteId>("Sprite_Bomb"), CreatureSpriteId(18));
    EXPECT_EQ(int(CreatureSpriteId::None), 19);
    EXPECT_EQ(int(LoopResult::Silent), 5);
    // No guest: "GuestFullName." + "" is a key of its own.
    EXPECT_STREQ(NameOf(GuestID::None), "");
    EXPECT_EQ(int(GuestID::None), 6);
    // Values without a name, and names that differ only in case.
    EXPECT_STREQ(NameOf(CreatureSpriteId::None), "");
    EXPECT_STREQ(NameOf(LoopResult::Silent), "");
    EXPECT_FALSE(EnumFromName<GremlinColorType>("red").has_value());
    EXPECT_FALSE(EnumFromName<GremlinKind>("").has_value());
}

TEST(GameConstants, TutorialsZeroToFiveShareTheBasicsFlag)
{
    for (int i = 0; i <= 5; ++i)
        EXPECT_STREQ(TutorialNames[size_t(i)], L"Basics");
    EXPECT_STREQ(TutorialNames[10], L"1Minute");
    EXPECT_STREQ(TutorialNames[14], L"LoopToTrap");
    EXPECT_STREQ(TutorialNames[16], L"TicExplode");
    EXPECT_STREQ(CompletionStatusNames[size_t(LevelCompletionStatus::Expert)], L"Expert");
}

TEST(GameConstants, NodePathTableHoldsEachPathOnceWellFormed)
{
    std::set<std::string_view> seen;
    for (std::string_view path : NodePathTexts)
    {
        EXPECT_FALSE(path.empty());
        EXPECT_FALSE(path.starts_with("/") || path.ends_with("/") || path.find("//") != path.npos) << path;
        EXPECT_TRUE(seen.insert(path).second) << "twice: " << path;
    }
    EXPECT_EQ(GetNodePathNames(NodePath::LevelMouseHandler),
              (std::vector<std::string>{"gamemoderoot", "playfield", "LevelMouseHandler"}));
    EXPECT_EQ(GetNodePathNames(NodePath::CreatureScaleNode), std::vector<std::string>{"scaleNode"});
    EXPECT_EQ(GetNodePathNames(NodePath::TutorialArrow),
              (std::vector<std::string>{"tutorialRoot", "messageBubble", "arrow"}));
}

// The name table is cleared when the engine shuts down, and a process may run the engine again (the
// tests do): a path looked up in the first run is still found in the next. In a child process, as
// the clear reaches the whole process.
TEST(GameConstantsIsolated, APathLookedUpBeforeTheNameTableIsClearedIsFoundAfter)
{
    EXPECT_EXIT(
        {
            auto foundInFreshTree = []
            {
                // Leaves first: a node does not delete its children.
                auto layout = std::make_unique<SceneNode>(Kestrin::MakeName("layout"));
                auto scale = std::make_unique<SceneNode>();
                scale->AttachToParent(layout.get(), Kestrin::MakeName("scaleNode"));
                auto image = std::make_unique<SceneNode>();
                image->AttachToParent(scale.get(), Kestrin::MakeName("creatureImage"));
                return FindNodeAtPath(layout.get(), NodePath::CreatureImage) == image.get();
            };
            if (!foundInFreshTree())
                std::exit(1);
            Kestrin::ClearInternedNames();
            // Other names first, so the fresh table cannot hand out the old addresses again.
            Kestrin::MakeName("filler one");
            Kestrin::MakeName("filler two");
            std::exit(foundInFreshTree() ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}
