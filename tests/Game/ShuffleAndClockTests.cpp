#include "Game/GameClock.h"
#include "Game/ShuffleWithRand.h"

#include "harness/FakeClock.h"
#include "harness/GameGlobals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace
{
// Answers scripted draws in turn and counts them.
struct ScriptedDraws
{
    explicit ScriptedDraws(std::vector<int> draws)
    {
        SetShuffleRandomSource(
            [this, draws = std::move(draws)]() mutable
            {
                const int draw = draws.at(taken % draws.size());
                ++taken;
                return draw;
            });
    }
    ~ScriptedDraws() { SetShuffleRandomSource(nullptr); }
    size_t taken = 0;
};

std::string Shuffled(std::string text)
{
    ShuffleWithRand(text.begin(), text.end());
    return text;
}
} // namespace

TEST(ShuffleWithRand, SwapsEachElementWithADrawnEarlierOne)
{
    struct Case
    {
        std::vector<int> draws;
        std::string result;
    };
    const Case cases[] = {
        {{0}, "dabc"},                       // each new element goes to the front
        {{1, 2, 3}, "abcd"},                 // each stays where it is
        {{0x8001, 0x10002, 0x7FFF}, "abcd"}, // only the low 15 bits count
        {{1, 0, 3}, "cbad"},                 // i=2 swaps with 0
        {{2, 4, 6}, "bcda"},                 // mod (i + 1): 0, 1, 2
    };
    for (const Case& c : cases)
    {
        ScriptedDraws draws(c.draws);
        EXPECT_EQ(Shuffled("abcd"), c.result);
        EXPECT_EQ(draws.taken, 3u);
    }
    ScriptedDraws none({0});
    EXPECT_EQ(Shuffled(""), "");
    EXPECT_EQ(Shuffled("a"), "a");
    EXPECT_EQ(none.taken, 0u);
}

TEST(ShuffleWithRand, TheLcgGivesTheClassicSequenceAndShufflesArePermutations)
{
    ShuffleLcg lcg(1);
    std::vector<int> first;
    for (int i = 0; i < 5; ++i)
        first.push_back(lcg());
    EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    ShuffleLcg source(12345);
    SetShuffleRandomSource(source);
    std::vector<int> values(50);
    std::iota(values.begin(), values.end(), 0);
    std::vector<int> shuffled = values;
    ShuffleWithRand(shuffled.begin(), shuffled.end());
    SetShuffleRandomSource(ShuffleLcg(12345));
    std::vector<int> again = values;
    ShuffleWithRand(again.begin(), again.end());
    SetShuffleRandomSource(nullptr);
    EXPECT_EQ(shuffled, again); // a seed gives one order
    EXPECT_NE(shuffled, values);
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, values);
}

TEST(GameClock, ClickTimesAreUnsignedDifferencesThatSurviveTheWrap)
{
    KestrinTest::SavedGameGlobals saved;
    KestrinTest::FakeClock clock;
    clock.now = 0xFFFFFF00u;
    EXPECT_EQ(GetMillisecondTime(), 0xFFFFFF00u);
    SetLastTrapClickTime(GetMillisecondTime());
    clock.Advance(0x110); // past 2^32: now 0x10
    EXPECT_EQ(MillisecondsSince(GetMillisecondTime(), GetLastTrapClickTime()), 0x110u);
    EXPECT_TRUE(IsPastClickTime(GetMillisecondTime(), 250));
    EXPECT_FALSE(IsPastClickTime(GetMillisecondTime(), 0x110)); // exactly clickTime is not past it
    EXPECT_FALSE(IsPastClickTime(GetMillisecondTime(), 300));
    SetLastTrapClickTime(GetMillisecondTime());
    EXPECT_FALSE(IsPastClickTime(GetMillisecondTime(), 0));
    EXPECT_FALSE(IsPastClickTime(GetMillisecondTime(), -5));
    clock.Advance(1);
    EXPECT_TRUE(IsPastClickTime(GetMillisecondTime(), -5));
}
