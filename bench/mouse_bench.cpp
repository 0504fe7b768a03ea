// How far a fast mouse gets ahead of the game: a thread moves the pointer 1,000 times a second (SDL
// motion events, queued as the system's mouse would queue them) while the main loop runs as the
// program runs it, the window platform on SDL's dummy video driver and one screen on the stack. At
// the first update one second after the first move, the mouse still moving, the screen reads which
// move it saw last.
// "deliveries": the moves the screen was handed by then; "moves_covered": how many of the pointer's
// moves those took in (the last one seen, counted from one); "behind_ms": how long ago the pointer
// was where the game has it; "behind_moves": the moves made since.
#include "Framework/FileSystem.h"
#include "Framework/Paths.h"
#include "Platform/ApplicationMode.h"
#include "Platform/Display.h"
#include "Platform/Looper.h"
#include "Platform/Win32/Win32Platform.h"
#include "harness/TempFolder.h"

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace Kestrin;

namespace
{

using Clock = std::chrono::steady_clock;
constexpr int kMoves = 1200; // at 1,000 Hz, on past the second measured
constexpr std::chrono::milliseconds kMeasuredTime{1000};
constexpr int kColumns = 800;

// Move n, n ms after the start, at a position that names it (the window maps client positions
// one to one into the 800 x 600 frame).
class Mouse
{
public:
    ~Mouse()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    void Start(uint32_t window)
    {
        m_start = Clock::now();
        m_thread = std::thread([this, window] { Run(window); });
    }
    Clock::time_point Started() const { return m_start; }
    int Pushed() const { return m_pushed.load(std::memory_order_acquire); }
    // Only for moves already pushed.
    Clock::time_point When(int move) const { return m_times[size_t(move)]; }

private:
    void Run(uint32_t window)
    {
        for (int n = 0; n < kMoves && !m_stop; ++n)
        {
            std::this_thread::sleep_until(m_start + std::chrono::milliseconds(n));
            SDL_Event e{};
            e.motion = {SDL_MOUSEMOTION, 0, window, 0, 0, n % kColumns, n / kColumns, n ? 1 : 0, 0};
            m_times[size_t(n)] = Clock::now();
            SDL_PushEvent(&e);
            m_pushed.store(n + 1, std::memory_order_release);
        }
    }

    std::thread m_thread;
    Clock::time_point m_start;
    std::atomic<bool> m_stop{false};
    std::array<Clock::time_point, kMoves> m_times{};
    std::atomic<int> m_pushed{0};
};

struct Figures
{
    long deliveries = 0;
    int lastSeen = -1;
    double behindMs = 0;
    int behindMoves = 0;
};

class PointerScreen : public ApplicationMode
{
public:
    PointerScreen(Mouse& mouse, uint32_t window, Figures& figures)
        : m_mouse(mouse), m_window(window), m_figures(figures)
    {
    }
    bool OnMouseMove(int x, int y) override
    {
        if (x < 0)
            return false; // the loop's own "outside the window" for a new top screen
        ++m_figures.deliveries;
        m_figures.lastSeen = y * kColumns + x;
        return true;
    }
    void Update(float dt) override
    {
        ApplicationMode::Update(dt);
        if (!m_started)
        {
            // The loop runs: the mouse starts moving.
            m_started = true;
            m_mouse.Start(m_window);
            return;
        }
        const Clock::time_point now = Clock::now();
        if (now - m_mouse.Started() < kMeasuredTime)
            return;
        const int pushed = m_mouse.Pushed();
        const int seen = m_figures.lastSeen;
        m_figures.behindMoves = pushed - 1 - seen;
        m_figures.behindMs =
            seen < 0 ? -1.0 : std::chrono::duration<double, std::milli>(now - m_mouse.When(seen)).count();
        Looper::Current()->RequestQuit();
    }

private:
    Mouse& m_mouse;
    uint32_t m_window;
    Figures& m_figures;
    bool m_started = false;
};

void BM_MouseAt1000Hz(benchmark::State& state)
{
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    Figures figures;
    double load = 0;
    for (auto _ : state)
    {
        KestrinTest::TempFolder folder;
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
        ::getloadavg(&load, 1);
        auto* platform = new Win32ApplicationPlatform;
        platform->Initialize();
        GetCurrentDisplaySettings() = {0, 1, 800, 600};
        platform->CreateMainWindow(GetCurrentDisplaySettings());
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        const Clock::time_point start = Clock::now();
        {
            Mouse mouse;
            figures = {};
            Looper looper;
            ChangeMode(new PointerScreen(mouse, SDL_GetWindowID(platform->GetWindowHandle()), figures));
            looper.Run();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        platform->Shutdown();
        delete platform;
        delete GetFileSystem();
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
        if (figures.lastSeen < 0 || figures.lastSeen >= kMoves)
        {
            state.SkipWithError("the screen saw no move, or one the mouse never made");
            return;
        }
    }
    state.counters["deliveries"] = double(figures.deliveries);
    state.counters["moves_covered"] = double(figures.lastSeen + 1);
    state.counters["behind_ms"] = figures.behindMs;
    state.counters["behind_moves"] = double(figures.behindMoves);
    state.counters["load"] = load;
}

} // namespace

BENCHMARK(BM_MouseAt1000Hz)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
