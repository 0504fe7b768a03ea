#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"

#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace Kestrin;

namespace
{
constexpr int BigCount = 1500;

// What the loading screen does: keeps the fraction for the main thread.
class SharedProgress : public IResourceLoadProgress
{
public:
    void OnProgress(float fraction) override
    {
        lastFraction.store(fraction);
        reports.fetch_add(1);
    }
    bool IsAborted() override { return false; }
    std::atomic<float> lastFraction{0.0f};
    std::atomic<int> reports{0};
};

using ResourceThreads = KestrinTest::ResourceTest;

NameId BigName(int i)
{
    return MakeName("big_" + std::to_string(i));
}
} // namespace

TEST_F(ResourceThreads, LoadingGroupWhileTheMainThreadLooksUpLoadsAndUnloads)
{
    RegisterValueResourceFactories(*manager);
    std::string big = "<resources>";
    for (int i = 0; i < BigCount; ++i)
        big += "<float name=\"big_" + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\"/>\n";
    AddGroup(L"Big", big + "</resources>");
    const std::string side = "<r><int name=\"side\" value=\"5\"/></r>";
    AddGroup(L"Side", side);
    LoadText(L"Main", "<r><float name=\"Tick\" value=\"1\"/></r>");

    SharedProgress progress;
    KestrinTest::ThreadedLoad load(manager, L"Big", &progress);
    for (int round = 0; !load.Done() || round < 200; ++round)
    {
        ASSERT_EQ(GetFloatValueByName("Tick")->value, 1.0f);
        int n = (round * 7919) % BigCount;
        if (auto* value = GetFloatValue(BigName(n)))
        {
            EXPECT_EQ(value->value, float(n)); // never seen half made
        }
        // The main thread changes the maps too: a screen's group comes and goes, a factory is replaced.
        LoadText(L"Side", side);
        ASSERT_NE(GetValueResource<int>("side"), nullptr);
        manager->UnloadFile(L"Side");
        manager->RegisterFactory(L"extra", new RandomRangeResourceFactory);
    }
    ASSERT_EQ(load.Join(), "");

    EXPECT_EQ(manager->GetLoadCount(L"Big"), 1);
    EXPECT_EQ(GetValueResource<int>("side"), nullptr);
    for (int i = 0; i < BigCount; ++i)
        ASSERT_EQ(GetFloatValue(BigName(i))->value, float(i));
    EXPECT_FLOAT_EQ(progress.lastFraction.load(), 1.0f);
    EXPECT_GE(progress.reports.load(), 2 * BigCount);
}
