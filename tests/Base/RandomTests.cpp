#include "Base/Random.h"
#include "Support/FakeRandom.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Kestrin;

TEST(RandomStream, SameSeedGivesSameSequencesWhateverTheInterleavingAndDrawsStayInRange)
{
    BoostRandomNumberStream a(1234), b(1234);
    std::vector<int> ai, bi;
    std::vector<float> af, bf;
    for (int i = 0; i < 100; ++i)
    {
        ai.push_back(a.NextInt());
        af.push_back(a.NextFloat());
        bf.push_back(b.NextFloat());
    }
    for (int i = 0; i < 100; ++i)
        bi.push_back(b.NextInt());
    EXPECT_EQ(ai, bi);
    EXPECT_EQ(af, bf);
    EXPECT_EQ(a.GetSeed(), 1234u);

    bool sawHighInt = false;
    for (int i = 0; i < 200000; ++i)
    {
        float f = a.NextFloat();
        ASSERT_TRUE(f >= 0.0f && f < 1.0f) << f;
        int n = a.NextInt();
        ASSERT_GE(n, 0);
        sawHighInt |= n > (1 << 30);
    }
    EXPECT_TRUE(sawHighInt);
}

TEST(RandomStream, CurrentStreamStackRandomFloatAndTheThreeStreams)
{
    KestrinTest::FakeRandomStream first({0.5f}), second({0.25f});
    {
        ScopedRandomStream a(&first);
        EXPECT_FLOAT_EQ(RandomFloat(10.0f, 20.0f), 15.0f);
        {
            ScopedRandomStream b(&second);
            EXPECT_FLOAT_EQ(RandomFloat(0.0f, 4.0f), 1.0f);
        }
        EXPECT_EQ(GetCurrentRandomStream(), &first);
    }
    InitRandomStreams();
    ASSERT_NE(GetRandomStream(2), nullptr);
    EXPECT_EQ(GetCurrentRandomStream(), GetRandomStream(0));
    ShutdownRandomStreams();
    EXPECT_EQ(GetRandomStream(0), nullptr);
    EXPECT_EQ(GetCurrentRandomStream(), nullptr);
}

// A whole number takes one draw, as the game's draws always have (a seeded game replays them), and
// lands in its range even from the last float below 1; draws that only dress a scene go on without
// a stream.
TEST(RandomStream, WholeNumbersTakeOneDrawEachAndStayInTheirRange)
{
    const float almostOne = std::nextafter(1.0f, 0.0f);
    KestrinTest::FakeRandomStream scripted({0.0f, almostOne, 0.5f, 0.99f, 0.3f, 0.25f, 0.75f, 0.2f});
    {
        ScopedRandomStream current(&scripted);
        EXPECT_EQ(RandomInt(-3, 3), -3);
        EXPECT_EQ(RandomInt(50, 750), 750);
        EXPECT_EQ(RandomInt(0, 1), 1);
        EXPECT_EQ(RandomInt(0, -1), -1) << "an empty range answers its top";
        EXPECT_EQ(RandomInt(7, 7), 7);
        // Each took its draw: the burst reads the sixth to the eighth.
        const Vector2<float> direction = RandomBurstDirection();
        EXPECT_EQ(direction.x, -0.25f);
        EXPECT_EQ(direction.y, std::sqrt(0.75f));
    }
    EXPECT_THROW(RandomInt(0, 1), std::exception);
    EXPECT_EQ(RandomFloatOrZero(), 0.0f);
    EXPECT_EQ(RandomBurstDirection().x, 0.0f);

    // Seeded: the same numbers as low + floor(r * (high - low + 1)) from the same floats.
    BoostRandomNumberStream drawn(99), reference(99), ranges(7);
    ScopedRandomStream current(&drawn);
    for (int i = 0; i < 20000; ++i)
    {
        const int low = ranges.NextInt() % 2000 - 1000, high = low + ranges.NextInt() % 1000;
        const int n = RandomInt(low, high);
        ASSERT_EQ(n, low + int(std::floor(reference.NextFloat() * float(high - low + 1))));
        ASSERT_TRUE(n >= low && n <= high);
    }
}
