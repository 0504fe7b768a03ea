#include "Screens/LoadingMode.h"

#include "Base/Text.h"
#include "Graphics/GraphicsResources.h"
#include "Screens/MainMenuMode.h"

#include "ScreenTestSupport.h"
#include "Support/WaitFor.h"

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <stdexcept>

using namespace Kestrin;
using namespace ScreenTest;
using KestrinTest::WaitFor;

namespace
{

// A task that reports half of its work, then waits until the test lets it go on.
class GatedTask : public ILoadingTask
{
public:
    struct Gate
    {
        std::atomic<bool> started{false};
        std::atomic<bool> sawAbort{false};
        std::atomic<bool> done{false};
        bool open = false;
        bool throws = false;
        std::mutex mutex;
        std::condition_variable opened;

        void Open()
        {
            std::lock_guard lock(mutex);
            open = true;
            opened.notify_all();
        }
    };

    GatedTask(Gate& gate, std::wstring group) : m_gate(gate), m_group(std::move(group)) {}

    void Run(IResourceLoadProgress* listener) override
    {
        listener->OnProgress(0.5f);
        m_gate.started = true;
        {
            std::unique_lock lock(m_gate.mutex);
            m_gate.opened.wait(lock, [&] { return m_gate.open; });
        }
        m_gate.sawAbort = listener->IsAborted();
        m_gate.done = true;
        if (m_gate.throws)
            throw std::runtime_error("Resource name conflict.");
    }
    std::wstring GetGroupName() const override { return m_group; }

private:
    Gate& m_gate;
    std::wstring m_group;
};

class Loading : public ScreenFixture
{
protected:
    Loading()
    {
        AddGroup("Title_MainMenu",
                 "<resources><scenelayout name=\"titlescreenLayout\"><scenenode nodeName=\"title\"/>"
                 "</scenelayout></resources>");
        screen = new LoadingMode;
    }
    // A screen never handed to the looper is still ours.
    ~Loading() override
    {
        if (!handedOver)
            delete screen;
    }

    // Queued and entered: the worker runs.
    void Start()
    {
        ChangeMode(screen);
        handedOver = true;
        Pass();
        ASSERT_TRUE(screen->HoldsThread());
    }
    void Finish()
    {
        ASSERT_TRUE(WaitFor([&] { return screen->IsThreadFinished(); }));
    }

    LoadingMode* screen;
    bool handedOver = false;
};

TEST_F(Loading, SharesFollowTheWeightsAndAQuitStopsTheRestAndEndsTheProgram)
{
    for (bool quit : {false, true})
    {
        SCOPED_TRACE(quit ? "quit during loading" : "plain");
        GatedTask::Gate first, second;
        screen->AddTask(new GatedTask(first, L"a"), 1);
        screen->AddTask(new GatedTask(second, L"b"), 3);
        Start();

        ASSERT_TRUE(WaitFor([&] { return first.started.load(); }));
        EXPECT_FLOAT_EQ(screen->GetCurrentTaskShare(), 0.25f);
        EXPECT_FLOAT_EQ(screen->GetCurrentTaskFraction(), 0.5f);
        EXPECT_FLOAT_EQ(screen->GetCompletedShare(), 0.0f);
        if (quit)
        {
            looper->RequestQuit(); // the window is closed
            EXPECT_FALSE(looper->IsQuitSet());
            EXPECT_TRUE(screen->IsAborted());
        }
        first.Open();
        if (!quit)
        {
            ASSERT_TRUE(WaitFor([&] { return second.started.load(); }));
            EXPECT_FLOAT_EQ(screen->GetCompletedShare(), 0.25f);
            EXPECT_FLOAT_EQ(screen->GetCurrentTaskShare(), 0.75f);
            second.Open();
        }
        Finish();
        // After the quit the task under way learns it, and the rest do not start.
        EXPECT_EQ(first.sawAbort.load(), quit);
        EXPECT_EQ(second.started.load(), !quit);
        EXPECT_FLOAT_EQ(screen->GetCompletedShare(), quit ? 0.0f : 1.0f);

        // The finished thread is held until collected: the quit waits for that.
        Steps(50);
        EXPECT_TRUE(screen->HoldsThread());
        EXPECT_FALSE(looper->IsQuitSet());
        Steps(1);
        EXPECT_FALSE(screen->HoldsThread());
        EXPECT_EQ(looper->IsQuitSet(), quit);
        EXPECT_EQ(Requests().size(), quit ? 0u : 1u);
        EXPECT_TRUE(screen->OnQuitRequest());

        looper.reset();
        looper = std::make_unique<Looper>();
        screen = new LoadingMode;
        handedOver = false;
    }
}

TEST_F(Loading, TheMainMenuComesASecondAfterLoadingWithTheTimesOnTheLog)
{
    AddGroup("resources", "<resources><float name=\"resourcesLoaded\" value=\"1\"/></resources>");
    AddGroup("Tutorial_Window", "<resources/>");
    for (const wchar_t* group : {L"resources", L"Game-AnimationImages", L"Tutorial_Window"})
        screen->AddTask(new ResourceLoadTask(group), 1);
    Start();
    Finish();
    EXPECT_NE(GetFloatValueByName("resourcesLoaded"), nullptr);

    Steps(50);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(log.Text().find("LoadingMode Actual Load Times"), std::string::npos);
    Steps(1);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{0, "MainMenuMode"}}));
    EXPECT_TRUE(QueuedAs<MainMenuMode>(0)->GetPlayEntrance());
    // One line per task in the order added; the fake clock stands still, so every load took 0 µs.
    EXPECT_NE(log.Text().find("LoadingMode Actual Load Times: \n\tTask 0 - 0\n\tTask 1 - 0\n\tTask 2 - 0\n"),
              std::string::npos)
        << log.Text();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(log.Text().find("LoadingMode: no group file Game-AnimationImages.xml\n"), std::string::npos);
}

TEST_F(Loading, ABrokenGroupCostsItsOwnResourcesAndOneErrorBox)
{
    AddBrokenGroup("broken");
    AddGroup("fine", "<resources><float name=\"fineLoaded\" value=\"1\"/></resources>");
    GatedTask::Gate throwing;
    throwing.throws = true;
    throwing.Open();
    screen->AddTask(new ResourceLoadTask(L"broken"), 1);
    screen->AddTask(new GatedTask(throwing, L"conflicting"), 1);
    screen->AddTask(new ResourceLoadTask(L"fine"), 1);
    Start();
    Finish();
    EXPECT_NE(GetFloatValueByName("fineLoaded"), nullptr);
    EXPECT_NE(log.Text().find("LoadingMode: task 1 failed: Resource name conflict.\n"), std::string::npos);

    Steps(51);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading broken.xml. Fix the problem and press F5 to reload");
    EXPECT_NE(boxes.boxes[0].text.find(L"\nconflicting.xml: Resource name conflict."), std::wstring::npos)
        << ToUtf8(boxes.boxes[0].text);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{0, "MainMenuMode"}}));
}

TEST_F(Loading, ABrokenTitleGroupCostsThePictureNotTheLoading)
{
    AddGroup("Title_MainMenu", "<resources><scenelayout name=\"titlescreenLayout\">");
    Start();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading Title_MainMenu.xml. Fix the problem and press F5 to reload");
    Finish();
    Steps(51);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{0, "MainMenuMode"}}));
}

TEST_F(Loading, TheGameCursorIsSetAfterLoading)
{
    std::ifstream gif(KESTRIN_SOURCE_DIR "/data/images/resources/CursorArrow.gif", std::ios::binary);
    data.Write("data/images/CursorArrow.gif", std::string(std::istreambuf_iterator<char>(gif), {}));
    AddGroup("resources", "<resources><image name=\"CursorArrow\" src=\"CursorArrow\"/></resources>");
    screen->AddTask(new ResourceLoadTask(L"resources"), 1);
    Start();
    Finish();
    Steps(51);
    KestrinTest::FakeGraphicsPlatform* graphics = KestrinTest::CurrentFakeGraphics();
    ASSERT_NE(GetImageByName("CursorArrow").second, nullptr);
    EXPECT_EQ(graphics->cursorImage, GetImageByName("CursorArrow").second);
    EXPECT_EQ(graphics->hotSpot, (Vector2<int>(0, 0)));
    EXPECT_TRUE(graphics->customCursor);
}

// An enabled game cursor without its picture would leave the player without any.
TEST_F(Loading, WithoutTheCursorPictureTheSystemCursorShows)
{
    Start();
    Finish();
    Steps(51);
    EXPECT_EQ(KestrinTest::CurrentFakeGraphics()->cursorImage, nullptr);
    EXPECT_FALSE(KestrinTest::CurrentFakeGraphics()->customCursor);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{0, "MainMenuMode"}}));
}

} // namespace
