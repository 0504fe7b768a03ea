// The loading screen's worker beside the main thread, as in the game: the movies and the splash run
// on the main thread, loading and looking up resources and asking the file system, while the
// worker loads the start-up groups. Run under ThreadSanitizer in CI.
#include "Screens/LoadingMode.h"

#include "Framework/FileSystem.h"
#include "Framework/ValueResources.h"

#include "ScreenTestSupport.h"
#include "Support/WaitFor.h"

#include <chrono>
#include <thread>

using namespace Kestrin;
using namespace ScreenTest;
using KestrinTest::WaitFor;

namespace
{

// Works until told to stop, like a large group whose load a quit cuts short.
class EndlessTask : public ILoadingTask
{
public:
    void Run(IResourceLoadProgress* listener) override
    {
        started = true;
        while (!listener->IsAborted())
        {
            listener->OnProgress(0.5f);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::atomic<bool> started{false};
};

class LoadingThreads : public ScreenFixture
{
protected:
    LoadingThreads()
    {
        AddGroup("Title_MainMenu", "<resources><scenelayout name=\"titlescreenLayout\"><scenenode/>"
                                   "</scenelayout></resources>");
        std::string big = "<resources>";
        for (int i = 0; i < 2000; ++i)
            big += "<float name=\"big_" + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\"/>\n";
        AddGroup("resources", big + "</resources>");
        AddGroup("Loading", "<resources><float name=\"PublisherDisplayTime\" value=\"2.5\"/></resources>");
        AddGroup("Side", "<resources><int name=\"side\" value=\"5\"/></resources>");
        data.Write("data/movies/Logos.swf", "FWS");
    }

    // What the main thread does meanwhile: a group of its own, lookups, unloads, file checks.
    void MainThreadWork(int round)
    {
        ResourceManager* resources = ResourceManager::Instance();
        resources->LoadFile(L"Loading", nullptr, true);
        ASSERT_NE(GetFloatValueByName("PublisherDisplayTime"), nullptr);
        resources->LoadFile(L"Side", nullptr, true);
        ASSERT_NE(GetValueResource<int>("side"), nullptr);
        resources->UnloadFile(L"Side");
        const int n = (round * 7919) % 2000;
        if (auto* value = GetFloatValue(MakeName("big_" + std::to_string(n))))
        {
            EXPECT_EQ(value->value, float(n)); // never seen half made
        }
        FileSpec movie(1, L"Logos", L".swf");
        EXPECT_TRUE(GetFileSystem()->Exists(movie));
    }
};

TEST_F(LoadingThreads, TheWorkerLoadsWhileTheMainThreadLoadsAndAQuitWaitsForIt)
{
    auto* screen = new LoadingMode;
    screen->AddTask(new ResourceLoadTask(L"resources"), 1);
    ChangeMode(screen);
    Pass();
    for (int round = 0; !screen->IsThreadFinished() || round < 50; ++round)
    {
        MainThreadWork(round);
        if (round == 10)
        {
            looper->RequestQuit(); // the window is closed while loading
            EXPECT_FALSE(looper->IsQuitSet());
        }
    }
    ASSERT_TRUE(WaitFor([&] { return screen->IsThreadFinished(); }));
    Steps(51);
    EXPECT_TRUE(looper->IsQuitSet());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(LoadingThreads, ARemovedScreenStopsItsWorkerAndWaitsForIt)
{
    auto* screen = new LoadingMode;
    auto* task = new EndlessTask;
    screen->AddTask(task, 1);
    screen->AddTask(new ResourceLoadTask(L"resources"), 1);
    ChangeMode(screen);
    Pass();
    ASSERT_TRUE(WaitFor([&] { return task->started.load(); }));
    for (int round = 0; round < 20; ++round)
        MainThreadWork(round);
    // Shutdown pops every screen without asking the quit handlers.
    looper->PopModeNow();
    EXPECT_EQ(GetFloatValueByName("big_0"), nullptr); // the rest never started
}

} // namespace
