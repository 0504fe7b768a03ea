#include "Base/Stream.h"
#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

using namespace Kestrin;
using KestrinTest::ResourceTest;

namespace
{
constexpr int BigCount = 1500;

std::string BigGroup()
{
    std::string xml = "<resources>";
    for (int i = 0; i < BigCount; ++i)
        xml += "<float name=\"big_" + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\"/>\n";
    xml += "<floatarray name=\"big_list\"><f value=\"1\"/><f value=\"2\"/></floatarray></resources>";
    return xml;
}

// What the loading screen does: keeps the fraction for the main thread, stops when told to.
class SharedProgress : public IResourceLoadProgress
{
public:
    void OnProgress(float fraction) override
    {
        lastFraction.store(fraction);
        reports.fetch_add(1);
    }
    bool IsAborted() override { return abort.load(); }

    std::atomic<float> lastFraction{0.0f};
    std::atomic<int> reports{0};
    std::atomic<bool> abort{false};
};

class ResourceThreadsTest : public ResourceTest
{
protected:
    ResourceThreadsTest()
    {
        RegisterValueResourceFactories();
        AddGroup(L"Big", BigGroup());
        AddGroup(L"Side", "<r><int name=\"side\" value=\"5\"/></r>");
        std::string main = "<r><float name=\"Tick\" value=\"1\"/></r>";
        MemoryStream stream(L"Main", main.data(), uint32_t(main.size()));
        manager->Load(L"Main", &stream, nullptr);
    }

    // Runs the load on its own thread; an exception there is handed back to the main thread.
    void StartLoad(IResourceLoadProgress* progress)
    {
        m_worker = std::thread([this, progress] {
            try
            {
                manager->LoadFile(L"Big", progress, true);
            }
            catch (...)
            {
                m_error = std::current_exception();
            }
            m_done.store(true);
        });
    }

    void Join()
    {
        m_worker.join();
        if (m_error)
            std::rethrow_exception(m_error);
    }

    bool Done() const { return m_done.load(); }

private:
    std::thread m_worker;
    std::exception_ptr m_error;
    std::atomic<bool> m_done{false};
};
} // namespace

TEST_F(ResourceThreadsTest, MainThreadLooksUpAndLoadsWhileTheLoadingThreadReadsAGroup)
{
    SharedProgress progress;
    StartLoad(&progress);

    int lookups = 0;
    std::string side = "<r><int name=\"side\" value=\"5\"/></r>";
    while (!Done() || lookups < 200)
    {
        ++lookups;
        Internal::ValueWrapper<float>* tick = GetFloatValueByName("Tick");
        ASSERT_NE(tick, nullptr);
        EXPECT_EQ(tick->value, 1.0f);

        int n = (lookups * 7919) % BigCount;
        if (auto* big = GetFloatValue(MakeName(("big_" + std::to_string(n)).c_str())))
        {
            EXPECT_EQ(big->value, float(n)); // never half made
        }
        // The main thread changes the maps too: a screen's group comes and goes, a factory is replaced.
        MemoryStream stream(L"Side", side.data(), uint32_t(side.size()));
        manager->Load(L"Side", &stream, nullptr);
        ASSERT_NE(GetValueResource<int>("side"), nullptr);
        manager->UnloadFile(L"Side");
        manager->RegisterFactory(L"extra", new RandomRangeResourceFactory);
    }
    Join();

    EXPECT_EQ(manager->GetLoadCount(L"Big"), 1);
    EXPECT_EQ(manager->GetLoadCount(L"Side"), 0);
    EXPECT_EQ(GetValueResource<int>("side"), nullptr);
    for (int i = 0; i < BigCount; ++i)
    {
        auto* big = GetFloatValue(MakeName(("big_" + std::to_string(i)).c_str()));
        ASSERT_NE(big, nullptr) << i;
        ASSERT_EQ(big->value, float(i));
    }
    EXPECT_EQ(GetValueResource<std::vector<float>>("big_list")->value, (std::vector<float>{1.0f, 2.0f}));
    EXPECT_FLOAT_EQ(progress.lastFraction.load(), 1.0f);
    EXPECT_GE(progress.reports.load(), 2 * BigCount);
}

TEST_F(ResourceThreadsTest, AbortSetByTheMainThreadStopsTheLoadingThread)
{
    // The first report waits until the main thread has asked to stop.
    class GatedProgress : public SharedProgress
    {
    public:
        void OnProgress(float fraction) override
        {
            SharedProgress::OnProgress(fraction);
            std::unique_lock lock(mutex);
            started = true;
            changed.notify_all();
            changed.wait(lock, [this] { return released; });
        }
        std::mutex mutex;
        std::condition_variable changed;
        bool started = false;
        bool released = false;
    } progress;

    StartLoad(&progress);
    {
        std::unique_lock lock(progress.mutex);
        progress.changed.wait(lock, [&] { return progress.started; });
        progress.abort.store(true);
        progress.released = true;
        progress.changed.notify_all();
    }
    Join();

    EXPECT_EQ(progress.reports.load(), 1);
    EXPECT_NE(GetFloatValueByName("big_0"), nullptr);
    EXPECT_EQ(GetFloatValueByName("big_1"), nullptr);
    // Stopped, yet counted: the next load only counts.
    EXPECT_EQ(manager->GetLoadCount(L"Big"), 1);
    manager->LoadFile(L"Big", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Big"), 2);
    EXPECT_EQ(fs.opens, 1);
}
