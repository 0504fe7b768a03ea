#include "Base/Random.h"
#include "Support/FakeRandom.h"

#include <gtest/gtest.h>

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
