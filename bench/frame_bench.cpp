// Whole frames on the software renderer: the main menu, the calendar and the level benchmark's busy
// level (bench/BusyLevel.h, with 40 and 100 Tics), each stepped as the main loop steps the top
// screen, 20 ms of update then a frame drawn through the main loop's draw (its signature pass, the
// screen's scene and the present) into a hidden 800x600 window of SDL's (the dummy video driver
// when SDL_VIDEODRIVER=dummy). Reports the milliseconds of one step, split into update and draw,
// after a settling stretch (the menu's entrance, the calendar's slide).
#include "BusyLevel.h"

#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Paths.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/TutorialManager.h"
#include "Graphics/Canvas.h"
#include "Platform/Display.h"
#include "Platform/ResourceFactories.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/ResourceFactoryRegistrars.h"

#include "harness/TempFolder.h"

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

namespace
{

class WindowPlatform : public KestrinTest::FakePlatform
{
public:
    WindowPlatform(KestrinTest::Journal& journal, SDL_Window* window)
        : FakePlatform(journal), m_window(window)
    {
    }
    void* GetDisplayWindow() override { return m_window; }
    bool IsActive() override { return false; } // no cursor drawn

private:
    SDL_Window* m_window;
};

SDL_Window* MakeWindow()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        std::abort();
    SDL_Window* window = SDL_CreateWindow("frames", 0, 0, 800, 600, SDL_WINDOW_HIDDEN);
    if (!window)
        std::abort();
    return window;
}

constexpr float Step = 0.02f;
constexpr int SettleSteps = 250;   // 5 s
constexpr int MeasuredSteps = 500; // 10 s

// The engine as the game starts it, minus the window and the sound: the committed data tree, a
// player's folder of its own, every factory the game registers, the start-up groups, the text
// table, the tuning and the catalogue, and the software renderer in a window.
struct Game
{
    Game()
    {
        Kestrin::SetLogToStderr(false);
        Kestrin::InitRandomStreams();
        Kestrin::SetAppDataFolderOverride(user.WidePath());
        auto* files = new Kestrin::Win32FileSystem; // becomes the global one
        for (int location : {0, 1})
            files->AddPartition(location, new Kestrin::Win32FileSystemPartition(L"" KESTRIN_DATA_DIR));
        files->AddPartition(2, new Kestrin::Win32FileSystemPartition(user.WidePath()));
        Kestrin::ResourceManager& resources = *Kestrin::ResourceManager::Instance();
        Kestrin::RegisterResourceFactories(resources);
        for (Kestrin::ResourceFactoryRegistrar registrar : GameResourceFactoryRegistrars())
            registrar(resources);
        GlobalSettings::Instance().Load();
        LoadGameText();
        for (const wchar_t* group : {L"resources", L"Game-AnimationImages", L"Tutorial_Window"})
            resources.LoadFile(group, nullptr, true);
        GameLevels& levels = GameLevels::Instance();
        TutorialManager::Instance().FollowCatalogue(levels);
        levels.LoadLevelList();
        levels.LoadProgress();
        // No first visit's tutorial pop-up covers the screens measured.
        TutorialManager::Instance().Disable();
        BenchLevel::TheData(false);

        Kestrin::CDisplay::Instance();
        graphics = std::make_unique<Kestrin::DDraw7GraphicsPlatform>();
        graphics->Initialize(Kestrin::DisplaySettings{0, 1, 800, 600});
        Kestrin::SetGraphicsPlatform(graphics.get());
    }

    KestrinTest::TempFolder user;
    KestrinTest::Journal journal;
    SDL_Window* window = MakeWindow();
    WindowPlatform platform{journal, window};
    std::unique_ptr<Kestrin::DDraw7GraphicsPlatform> graphics;
};

Game& TheGame()
{
    static Game game;
    return game;
}

struct Split
{
    double update = 0, draw = 0;
};

// Steps the looper's top screen and draws each frame as the main loop does; `feed` runs before each
// update (the busy level's pointer).
Split Measure(Kestrin::Looper& looper, int steps, const std::function<void(float)>& feed,
              const std::function<void(float)>& afterUpdate)
{
    using Clock = std::chrono::steady_clock;
    Split split;
    for (int i = 0; i < steps; ++i)
    {
        const auto start = Clock::now();
        if (feed)
            feed(float(i) * Step);
        looper.UpdateAll(Step);
        if (afterUpdate)
            afterUpdate(Step);
        const auto updated = Clock::now();
        looper.DrawFrame();
        const auto drawn = Clock::now();
        split.update += std::chrono::duration<double, std::milli>(updated - start).count();
        split.draw += std::chrono::duration<double, std::milli>(drawn - updated).count();
    }
    return split;
}

void Report(benchmark::State& state, const Split& split, const Kestrin::Looper& looper)
{
    const double total = split.update + split.draw;
    state.SetIterationTime(total / 1000.0);
    state.counters["ms_per_step"] = total / MeasuredSteps;
    state.counters["update_ms"] = split.update / MeasuredSteps;
    state.counters["draw_ms"] = split.draw / MeasuredSteps;
    state.counters["frames_shown"] = double(looper.GetDrawnFrameCount());
}

// A screen of the menus, pushed on a looper of its own and left to settle.
void ScreenFrames(benchmark::State& state, const std::function<Kestrin::ApplicationMode*()>& make)
{
    TheGame();
    for (auto _ : state)
    {
        Kestrin::Looper looper;
        looper.PushModeNow(make());
        looper.ProcessModeRequests();
        Measure(looper, SettleSteps, {}, {});
        const long shownBefore = looper.GetDrawnFrameCount();
        const Split split = Measure(looper, MeasuredSteps, {}, {});
        Report(state, split, looper);
        state.counters["frames_shown"] = double(looper.GetDrawnFrameCount() - shownBefore);
    }
}

void BM_MainMenu(benchmark::State& state)
{
    ScreenFrames(state, [] { return new MainMenuMode(false); });
}
BENCHMARK(BM_MainMenu)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Calendar(benchmark::State& state)
{
    ScreenFrames(state, [] { return new LevelSelectCalendarMode(0); });
}
BENCHMARK(BM_Calendar)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_BusyLevel(benchmark::State& state)
{
    TheGame();
    // The playing screen's art, which the game screen loads as it is entered.
    static const bool loaded = []
    {
        Kestrin::ResourceManager::Instance()->LoadFile(L"Game", nullptr, true);
        return true;
    }();
    (void)loaded;
    for (auto _ : state)
    {
        BenchLevel::BusyLevel busy(int(state.range(0)));
        Kestrin::ScopedRandomStream seeded(&busy.random);
        Kestrin::ScopedCurrentObjectDatabase current(&busy.screen);
        const Split split = Measure(
            *busy.looper, MeasuredSteps, [&](float time) { busy.Feed(time); },
            [&](float dt) { busy.screen.tree->Update(dt); });
        Report(state, split, *busy.looper);
    }
}
// 100 Tics do not fit the playfield's free room (the level benchmark says what that costs); no
// level spawns more than a dozen at a time.
BENCHMARK(BM_BusyLevel)->UseManualTime()->Iterations(3)->Arg(40)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace
