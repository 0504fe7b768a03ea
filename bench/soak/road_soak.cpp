// The long run across the screens: the game program walks a player's whole road again and again, at
// the full speed of a clock that jumps over every wait, and reports per round, at the idle main
// menu, the resident memory and the engine's own counts (resource groups and resources loaded,
// images, textures, fonts). A round: the calendar, the newest day, its newest appointment (the
// guest's file and the card on a first appointment), the level with its Tic's film and
// introduction and its tutorials, played by the scripted player (won for it after kPlaySeconds, as
// the screen tour wins), the success outro, the calendar again, the next appointment's card and its
// level, left from the pause menu; endless selection and an endless session (played, then left
// to overflow); the Tic Guide's pages.
//
//   road_soak [rounds] [-software]
//
// 50 rounds unless told. "-software" picks the software renderer; without it the hardware renderer
// runs on whatever renderer SDL gives (its software one under the dummy video driver, which is
// the default here; set SDL_VIDEODRIVER=x11 to run in a window). The profile lives in a folder of
// its own, made fresh. Not part of CI.
#include "Base/Clock.h"
#include "Base/LiveCounts.h"
#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Framework/Keys.h"
#include "Framework/ResourceManager.h"
#include "Framework/TypeName.h"
#include "Game/GameLevels.h"
#include "Game/GunkBoard.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialPopupMode.h"
#include "Platform/BassAudio.h"
#include "Platform/Engine.h"
#include "Platform/Looper.h"
#include "Platform/Win32/GraphicsPlatforms.h"
#include "Runs/ProgramRun.h"
#include "Runs/ScreenTour.h"
#include "Scene/TextEditNode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/AccountModes.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/InGameMenuMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/LevelSelectIntroMode.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/ResourceFactoryRegistrars.h"

#include "harness/LevelPlay.h"
#include "harness/RunProgram.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace
{

// Time passes only when the loop sleeps, and then at once: every step and every frame still runs,
// in order, as fast as the machine goes.
class JumpingClock : public Kestrin::IClock
{
public:
    uint32_t Now() override { return m_now.load(); }
    void Sleep(uint32_t milliseconds) override { m_now += milliseconds; }
    uint64_t Micros() override
    {
        return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
    }

private:
    std::atomic<uint32_t> m_now{1000};
};

void Key(int key)
{
    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
    {
        looper->HandleInputEvent({Kestrin::InputEvent_KeyDown, 0, 0, key});
        looper->HandleInputEvent({Kestrin::InputEvent_KeyUp, 0, 0, key});
    }
}

template <typename T> bool Is(Kestrin::ApplicationMode* mode)
{
    return dynamic_cast<T*>(mode) != nullptr;
}

class RoadSoak : public ProgramRun
{
public:
    explicit RoadSoak(int rounds) : m_rounds(rounds) {}

    void Update(float dt) override;

    // Game time the scripted player gets on a story level before it is won for it, and on an
    // endless session before it stops and lets the gunk overflow.
    static constexpr float kPlaySeconds = 90.0f;
    static constexpr float kEndlessSeconds = 30.0f;
    // A screen stands this long before the walk clicks on it: entrances and slides are over.
    static constexpr float kSettle = 1.0f;
    // The menu stands longer before a round's figures: what it started has settled.
    static constexpr float kMenuSettle = 3.0f;
    // No screen but a level stands this long in a walk that goes on (the loading screen waits for
    // its thread in real time).
    static constexpr std::chrono::seconds kStuck{60};

private:
    enum class Leg
    {
        Story,   // the level played to its win
        Next,    // the next appointment's card and level, left from the pause menu
        Endless, // selection and a session
        Guide,   // the Tic Guide's pages
        Done,    // back at the menu: the round's figures
    };

    void Report();
    void Click(Kestrin::ApplicationMode* top, const char* button, bool last = false);
    void OnGame(GameMode& game, float dt);
    void OnMenu(Kestrin::ApplicationMode* top);

    int m_rounds;
    int m_round = 0;
    Leg m_leg = Leg::Story;
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    std::chrono::steady_clock::time_point m_topSince;
    // Since the last click on the screen on top; a screen that stays takes its next click later.
    float m_sinceClick = 0.0f;
    bool m_clicked = false;
    int m_reported = -1;
    // The endless leg: a guest picked, then a session begun and over.
    bool m_guestPicked = false, m_sessionDone = false;
    size_t m_guidePage = 0;
    bool m_quitting = false;

    // The level being played and its player.
    NimbalLevel* m_level = nullptr;
    std::unique_ptr<Playtest::ScriptedPlayer> m_player;
    std::mt19937 m_random{7};
    float m_played = 0.0f;
    int m_levelsWon = 0, m_wonForPlayer = 0, m_sessions = 0;
    std::chrono::steady_clock::time_point m_roundStart = std::chrono::steady_clock::now();
};

void RoadSoak::Report()
{
    Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_roundStart).count();
    m_roundStart = std::chrono::steady_clock::now();
    std::printf(
        "round %2d: resident %6ld kB, groups %2zu, resources %5zu, images %5ld, textures %5ld, "
        "fonts %3ld; levels won %d (%d won for the player), endless sessions %d; %.0f s\n",
        m_round, GetResidentKilobytes(), resources->GetLoadedGroupCount(), resources->GetResourceCount(),
        Kestrin::GetLiveCount(Kestrin::LiveKind::Image), Kestrin::GetLiveCount(Kestrin::LiveKind::Texture),
        Kestrin::GetLiveCount(Kestrin::LiveKind::Font), m_levelsWon, m_wonForPlayer, m_sessions, seconds);
    std::fflush(stdout);
}

void RoadSoak::Click(Kestrin::ApplicationMode* top, const char* button, bool last)
{
    if (ScreenTour::ClickButton(top, button, last))
    {
        m_clicked = true;
        m_sinceClick = 0.0f;
    }
    else if (m_onTop > ScreenTour::kTimeToShowButtons + kSettle)
    {
        std::printf("round %d: no %s to click on %s\n", m_round, button,
                    Kestrin::DemangledTypeName(typeid(*top)).c_str());
        std::exit(1);
    }
}

void RoadSoak::Update(float dt)
{
    Kestrin::Looper* looper = Kestrin::Looper::Current();
    Kestrin::ApplicationMode* top = looper ? looper->GetTopMode() : nullptr;
    if (!top)
        return;
    // The player goes with its level's screen.
    if (m_player)
    {
        const auto& stack = looper->GetStack();
        auto* game = dynamic_cast<GameMode*>(stack.front());
        if (!game || game->GetLevel() != m_level)
            m_player.reset();
    }
    if (top != m_top)
    {
        m_top = top;
        m_onTop = 0.0f;
        m_topSince = std::chrono::steady_clock::now();
        m_clicked = false;
    }
    m_onTop += dt;
    m_sinceClick += dt;
    if (looper->HasPendingRequests())
        return;
    if (auto* game = dynamic_cast<GameMode*>(top))
        return OnGame(*game, dt);
    if (m_onTop < kSettle || (m_clicked && m_sinceClick < 2 * kSettle))
        return;
    if (auto* popup = dynamic_cast<AbstractSlidingMode*>(top); popup && popup->IsSliding())
        return;

    if (Is<MainMenuMode>(top))
        return OnMenu(top);
    if (auto* first = dynamic_cast<FirstAccountMode*>(top))
    {
        if (auto* field = dynamic_cast<TextEditNode*>(first->FindObject(Kestrin::MakeName("AccountName"))))
            field->SetText(L"Soak");
        return Click(top, "OK");
    }
    // The introductions and tutorials the levels bring are read and closed.
    if (Is<TicIntroMode>(top))
        return Click(top, "button_next");
    if (Is<TutorialPopupMode>(top))
        return Click(top, "buttonOK");
    // The newest day and its newest appointment: the one the campaign waits for.
    if (Is<LevelSelectCalendarMode>(top))
        return Click(top, "button", true);
    if (Is<LevelSelectDayMode>(top))
        return Click(top, "button_appointment", true);
    if (Is<LevelSelectIntroMode>(top) || Is<LevelIntroMode>(top))
        return Click(top, "button_next");
    if (Is<InGameMenuMode>(top))
        return Click(top, "MainMenu");
    if (Is<QuitConfirmMode>(top))
        return Click(top, "YesQuit");
    // A story level the player lost on time is tried again; an endless outro moves on by itself.
    if (Is<LevelOutroFailureMode>(top))
    {
        if (!GameLevels::Instance().endless)
            Click(top, "button_tryAgain");
        return;
    }
    if (Is<LevelOutroSuccessMode>(top))
    {
        // It moves on by itself, to the calendar and the next appointment.
        if (!m_clicked)
        {
            m_clicked = true;
            m_sinceClick = -1e9f;
            ++m_levelsWon;
            m_leg = Leg::Next;
        }
        return;
    }
    if (Is<EndlessLevelSelectMode>(top))
    {
        if (m_sessionDone)
        {
            m_leg = Leg::Guide;
            m_guidePage = 0;
            return Click(top, "buttonReturnMainMenu");
        }
        if (!m_guestPicked)
        {
            m_guestPicked = true;
            // Harley's session opens with the first day's first win.
            return Click(top, "button_harley");
        }
        return Click(top, "buttonBeginTraining");
    }
    // The guide: a Tic's page, back to the collection, help, about, back to the menu.
    static constexpr const char* kGuide[] = {"button_neurotic", "button_returnToCollection",
                                             "button_tab_help", "button_tab_about", "button_back"};
    if (m_leg == Leg::Guide && m_guidePage < std::size(kGuide))
    {
        Click(top, kGuide[m_guidePage]);
        if (m_clicked && ++m_guidePage == std::size(kGuide))
            m_leg = Leg::Done;
        return;
    }
    // The start-up road, the films, the loading screen: they end by themselves.
    if (std::chrono::steady_clock::now() - m_topSince > kStuck)
    {
        std::printf("round %d: stuck on %s\n", m_round, Kestrin::DemangledTypeName(typeid(*top)).c_str());
        std::exit(1);
    }
}

void RoadSoak::OnMenu(Kestrin::ApplicationMode* top)
{
    if (m_quitting || m_clicked)
        return;
    if (m_leg == Leg::Guide)
        return Click(top, "tictionary");
    if (m_leg == Leg::Story || m_leg == Leg::Done)
    {
        if (m_onTop < kMenuSettle)
            return;
        if (m_leg == Leg::Done)
            ++m_round;
        if (m_reported != m_round)
            Report();
        m_reported = m_round;
        m_leg = Leg::Story;
        if (m_round >= m_rounds)
        {
            m_quitting = true;
            Key(Kestrin::VK_ESCAPE);
            return;
        }
        return Click(top, "play_tanglewisp");
    }
    m_leg = Leg::Endless;
    m_guestPicked = m_sessionDone = false;
    Click(top, "play_neverending");
}

void RoadSoak::OnGame(GameMode& game, float dt)
{
    NimbalLevel* level = game.GetLevel();
    if (!level || level->loadFailed)
    {
        std::printf("round %d: the level did not load\n", m_round);
        std::exit(1);
    }
    if (level->notStarted || level->won || level->lost || level->endlessOver)
    {
        m_player.reset();
        return;
    }
    const bool endless = GameLevels::Instance().endless;
    // The next appointment: seen, then left.
    if (!endless && m_leg == Leg::Next)
    {
        if (!m_clicked && level->timeElapsed > kSettle)
        {
            Key(Kestrin::VK_ESCAPE);
            m_clicked = true;
            m_sinceClick = 0.0f;
        }
        return;
    }
    if (!m_player || m_level != level)
    {
        m_level = level;
        m_played = 0.0f;
        m_player = std::make_unique<Playtest::ScriptedPlayer>(game, uint32_t(m_round + 1));
        if (endless)
            ++m_sessions;
    }
    m_played += dt;
    if (endless)
    {
        m_sessionDone = true;
        if (m_played < kEndlessSeconds)
            return m_player->Step(dt);
        // Then the hands come off and the gunk pours in until it overflows.
        if (GunkBoard* board = InstalledGunkBoard())
            board->AddGunk(60, int(PlayfieldLeft + m_random() % int(PlayfieldRight - PlayfieldLeft)),
                           int(PlayfieldTop + m_random() % int(PlayfieldBottom - PlayfieldTop)), 5);
        return;
    }
    m_player->Step(dt);
    if (m_played >= kPlaySeconds)
    {
        // As the screen tour wins: the level's own win, decided now.
        level->LogPlayData(true);
        level->won = true;
        level->outroDelay = 2.5f;
        ++m_wonForPlayer;
    }
}

// The soak runs again from a folder of its own beside a data folder of its own, so that the play
// data its levels log stays out of the tree; the profile and the log stay in a folder that is kept.
int RunApart(char** argv)
{
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const KestrinTest::ProgramWithOwnData own(self.string(), (self.parent_path() / "data").string());
    char home[] = "/tmp/road_soak.XXXXXX";
    if (!mkdtemp(home))
        return 1;
    setenv("XDG_DATA_HOME", home, 1);
    setenv("KESTRIN_ROAD_SOAK_APART", "1", 1);
    // Headless unless told otherwise.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::printf("road soak: profile and log under %s\n", home);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0)
    {
        execv(own.Program().c_str(), argv);
        _exit(127);
    }
    int status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("KESTRIN_ROAD_SOAK_APART"))
        return RunApart(argv);
    int rounds = 50;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) != "-software")
            rounds = std::max(1, std::atoi(argv[i]));
    std::printf("road soak: %d rounds\n", rounds);

    static JumpingClock clock;
    Kestrin::SetClock(&clock);
    static RoadSoak* soak = nullptr;
    static ProgramWithRun application(
        [rounds]
        {
            auto run = std::make_unique<RoadSoak>(rounds);
            soak = run.get();
            return run;
        });
    Kestrin::SetGraphicsPlatformFactory(&Kestrin::GetDisplayGraphicsFactory());
    Kestrin::SetAudioPlatformFactory(&Kestrin::MakeBASSAudioPlatform);
    AddGameResourceFactoryRegistrars();
    const int status = Kestrin::EngineMain(argc, argv);
    Kestrin::SetClock(nullptr);
    return soak ? status : 1;
}
