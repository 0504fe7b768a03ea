#include "Runs/ScreenTour.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Keys.h"
#include "Framework/TypeName.h"
#include "Game/GameConstants.h"
#include "Game/GameLevels.h"
#include "Game/GremlinHome.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialPopupMode.h"
#include "Graphics/Canvas.h"
#include "Graphics/PngWriter.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/Win32/FlashPlayer.h"
#include "Scene/ButtonNode.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/TextEditNode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/AccountModes.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/ScreenNodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace
{
// Set while the program's statics are made, which is as near its start as the game can tell.
const std::chrono::steady_clock::time_point g_processStart = std::chrono::steady_clock::now();

// The level's wait between its end and its outro; its celebration starts while the wait is whole.
constexpr float kOutroDelay = 2.5f;

void Send(int type, int x, int y, int value = 0)
{
    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
        looper->HandleInputEvent(Kestrin::InputEvent{type, x, y, value});
}

// While a movie holds drawing the window shows the movie host's frame: its colour and poster.
bool MovieShown()
{
    Kestrin::ColorF unused;
    return Kestrin::GetMovieBackdropColor(unused);
}
} // namespace

std::optional<std::string> ScreenTour::FolderFromCommandLine(const Kestrin::CommandLine& line)
{
    const std::vector<std::wstring> folder = line.After(L"-tour", 1);
    if (folder.empty() || folder[0].empty())
        return std::nullopt;
    return Kestrin::ToUtf8(folder[0]);
}

ScreenTour::ScreenTour(std::string folder) : m_folder(std::move(folder)), m_start(g_processStart)
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    Kestrin::LogPrintf("Tour: pictures go to %s\n", m_folder.c_str());
}

long ScreenTour::MillisecondsSinceStart() const
{
    return long(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
            .count());
}

void ScreenTour::Update(float dt)
{
    Kestrin::Looper* looper = Kestrin::Looper::Current();
    Kestrin::ApplicationMode* top = looper ? looper->GetTopMode() : nullptr;
    if (top != m_top)
    {
        m_top = top;
        m_onTop = 0.0f;
        m_shotDue = false;
        m_shotTaken = false;
        // A pop-up over the level takes the pen's press: a line is started again afterwards.
        m_penDown = false;
        if (top)
            Kestrin::LogPrintf("Tour: %s on top after %ld ms\n",
                               Kestrin::DemangledTypeName(typeid(*top)).c_str(), MillisecondsSinceStart());
        return;
    }
    if (!top)
        return;
    m_onTop += dt;
    m_sinceClick += dt;
    if (!m_shotTaken && m_onTop >= TimeBeforeShot(top) && !DrawLine(top, dt))
        m_shotDue = true;
    // The game draws nothing over a movie, so its picture is the frame the movie host filled.
    if (m_shotDue && MovieShown())
        TakeShot();
    if (m_shotTaken)
        Act(top);
}

const std::vector<ScreenTour::Step>& ScreenTour::GetWalk()
{
    static const std::vector<Step> walk = {
        {"MainMenuMode", "credits"},
        {"CreditsMode", "Next"},
        {"CreditsMode", "Next"},
        {"CreditsMode", "MainMenu"},
        {"MainMenuMode", "options"},
        {"OptionsMode", "ExitCancel"},
        // The story road as a new player first takes it: calendar, day, a guest's file, back, the
        // first appointment with the guest's file over its card, the card, then the game screen,
        // where the new Tic's film and introduction come first (each time the level is entered,
        // the tour closes them as they come) and the first tutorials with the play.
        {"MainMenuMode", "play_tanglewisp"},
        {"LevelSelectCalendarMode", "button"},
        {"LevelSelectDayMode", "button_profile"},
        {"LevelSelectIntroMode", "button_back"},
        {"LevelSelectDayMode", "button_appointment"},
        {"LevelSelectIntroMode", "button_next"},
        {"LevelIntroMode", "button_next"},
        // The level with a line drawn, and the pause pop-up.
        {"GameMode", kDrawLine},
        {"GameMode", kEscapeKey},
        {"InGameMenuMode", "ResumeGame"},
        // Lost on time, tried again and won: the success outro moves on to the next appointment,
        // the next guest's first, which is left from its pause menu for the main menu.
        {"GameMode", kTimeUp},
        {"LevelOutroFailureMode", "button_tryAgain"},
        {"GameMode", kWin},
        {"LevelSelectIntroMode", "button_next"},
        {"LevelIntroMode", "button_next"},
        {"GameMode", kEscapeKey},
        {"InGameMenuMode", "MainMenu"},
        {"QuitConfirmMode", "YesQuit"},
        // The Tic met in the level has its page in the guide now.
        {"MainMenuMode", "tictionary"},
        {"TictionaryMainMode", "button_neurotic"},
        {"TictionaryProfileMode", "button_returnToCollection"},
        {"TictionaryMainMode", "button_tab_help"},
        {"TictionaryHelpMode", "button_tab_about"},
        {"TictionaryAboutMode", "button_back"},
        {"MainMenuMode", "play_neverending"},
        {"EndlessLevelSelectMode", "button_harley"},
        {"EndlessLevelSelectMode", "buttonReturnMainMenu"},
        {"MainMenuMode", "nameplate_button"},
        {"AccountMode", "New"},
        {"EditAccountMode", "OK", kWalkerName},
        // The new profile is current and picked: the walk deletes it again.
        {"AccountMode", "Delete"},
        {"DeleteAccountMode", "OK"},
        {"AccountMode", "OK"},
    };
    return walk;
}

bool ScreenTour::ClickButton(Kestrin::ApplicationMode* top, const char* name, bool last)
{
    const Kestrin::NameId wanted = Kestrin::MakeName(name);
    auto clickable = [wanted](SceneNode* node)
    {
        auto* button = dynamic_cast<ButtonNode*>(node);
        return button && button->GetName() == wanted && button->IsEnabled() && button->IsWorldVisible()
                   ? button
                   : nullptr;
    };
    ButtonNode* button = nullptr;
    auto* scene = dynamic_cast<SceneApplicationMode*>(top);
    std::vector<SceneNode*> pending{scene ? scene->GetRootNode() : nullptr};
    while ((last || !button) && !pending.empty())
    {
        SceneNode* node = pending.back();
        pending.pop_back();
        if (!node)
            continue;
        if (ButtonNode* found = clickable(node))
            button = found;
        std::vector<SceneNode*> children;
        for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
            children.push_back(child);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    if (!button)
        button = clickable(dynamic_cast<SceneNode*>(top->FindObject(wanted)));
    if (!button)
        return false;
    const SceneNode::Rectf rect = button->GetWorldRect();
    const int x = int(rect.x + rect.w / 2), y = int(rect.y + rect.h / 2);
    Kestrin::LogPrintf("Tour: clicking %s at (%d, %d)\n", name, x, y);
    Send(Kestrin::InputEvent_MouseMove, x, y);
    Send(Kestrin::InputEvent_ButtonDown, x, y, 0);
    Send(Kestrin::InputEvent_ButtonUp, x, y, 0);
    return true;
}

bool ScreenTour::MayTake(Kestrin::ApplicationMode* top, const Step& step)
{
    Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance();
    if (std::string_view(step.button) == "nameplate_button")
    {
        // The profile steps make and delete a profile: only in a folder the tour started itself.
        const Kestrin::Account* current = accounts->GetCurrentAccount();
        return current && current->GetName() == kProfileName && !accounts->FindAccount(kWalkerName);
    }
    // The story road writes the profile's progress and tutorial flags.
    if (std::string_view(step.button) == "play_tanglewisp")
    {
        const Kestrin::Account* current = accounts->GetCurrentAccount();
        return current && current->GetName() == kProfileName;
    }
    if (std::string_view(step.button) == "Delete")
    {
        auto* list = dynamic_cast<AccountMode*>(top);
        const Kestrin::Account* picked = list ? list->GetSelectedAccount() : nullptr;
        return picked && picked->GetName() == kWalkerName;
    }
    return true;
}

bool ScreenTour::Walk(Kestrin::ApplicationMode* top)
{
    const std::vector<Step>& walk = GetWalk();
    if (m_step >= walk.size())
        return false;
    if (m_sinceClick < kTimeBetweenClicks)
        return true;
    if (auto* popup = dynamic_cast<AbstractSlidingMode*>(top); popup && popup->IsSliding())
        return true;
    if (Kestrin::Looper* looper = Kestrin::Looper::Current(); looper && looper->HasPendingRequests())
        return true;
    const std::string type = Kestrin::DemangledTypeName(typeid(*top));

    // The menu asks a first-time player for a name before its buttons act.
    if (dynamic_cast<FirstAccountMode*>(top))
    {
        if (auto* field = dynamic_cast<TextEditNode*>(top->FindObject(Kestrin::MakeName("AccountName"))))
            field->SetText(kProfileName);
        if (ClickButton(top, "OK"))
        {
            m_sinceClick = 0.0f;
            m_step = m_menuStep;
        }
        return true;
    }

    // The level's tutorials and a new Tic's introduction come when the play brings them: each is
    // read (its picture) and closed; a film is watched to its end.
    if (dynamic_cast<TutorialPopupMode*>(top) || dynamic_cast<TicIntroMode*>(top))
    {
        if (ClickButton(top, dynamic_cast<TicIntroMode*>(top) ? "button_next" : "buttonOK"))
            m_sinceClick = 0.0f;
        return true;
    }
    if (dynamic_cast<FlashInterstitialMode*>(top))
        return true;

    // A step whose button cannot be clicked is passed over with the steps of the screen it would
    // have opened, up to the next one on this screen.
    while (m_step < walk.size() && type == walk[m_step].screen)
    {
        const Step& step = walk[m_step];
        if (step.text)
            if (auto* field = dynamic_cast<TextEditNode*>(top->FindObject(Kestrin::MakeName("AccountName"))))
                field->SetText(step.text);
        if (type == "MainMenuMode")
            m_menuStep = m_step;
        if (!MayTake(top, step))
        {
            // Never touch a player's own profiles: the walk ends here.
            Kestrin::LogPrintf("Tour: %s on %s is only taken among the tour's own profiles; the walk ends\n",
                               step.button, type.c_str());
            if (type == "AccountMode")
                ClickButton(top, "Cancel");
            m_step = walk.size();
            return false;
        }
        if (const std::optional<bool> done = ActOnLevel(top, step))
        {
            if (*done)
            {
                ++m_step;
                m_sinceClick = 0.0f;
            }
            return true;
        }
        if (std::string_view(step.button) == kEscapeKey)
        {
            Send(Kestrin::InputEvent_KeyDown, 0, 0, Kestrin::VK_ESCAPE);
            Send(Kestrin::InputEvent_KeyUp, 0, 0, Kestrin::VK_ESCAPE);
            ++m_step;
            m_sinceClick = 0.0f;
            return true;
        }
        if (ClickButton(top, step.button))
        {
            ++m_step;
            m_sinceClick = 0.0f;
            return true;
        }
        // A screen may show its buttons late (the menu's entrance): they get a while.
        if (m_onTop < kTimeToShowButtons)
            return true;
        ++m_step;
        Kestrin::LogPrintf("Tour: %s cannot be clicked on %s; passed over\n", step.button, type.c_str());
        while (m_step < walk.size() && type != walk[m_step].screen)
            ++m_step;
    }
    return m_step < walk.size();
}

bool ScreenTour::DrawLine(Kestrin::ApplicationMode* top, float dt)
{
    const std::vector<Step>& walk = GetWalk();
    auto* game = dynamic_cast<GameMode*>(top);
    if (!game || m_step >= walk.size() || std::string_view(walk[m_step].button) != kDrawLine)
        return false;
    NimbalLevel* level = game->GetLevel();
    // Nothing to play on: the picture at once.
    if (!level || level->loadFailed || level->won || level->lost)
        return false;
    // The traps take no press while the level's banner is up.
    if (level->notStarted)
        return true;
    if (!m_penDown)
    {
        Kestrin::ScopedCurrentObjectDatabase current(game);
        const std::vector<GremlinHome*> traps = HeldObject<GremlinHome>::GetAll();
        if (traps.empty())
            return false;
        const Vector2f at = traps.front()->GetCentre();
        m_penX = at.x;
        m_penY = at.y;
        m_penDown = true;
        m_drawn = 0.0f;
        Kestrin::LogPrintf("Tour: drawing a line from the trap at (%d, %d)\n", int(at.x), int(at.y));
        Send(Kestrin::InputEvent_MouseMove, int(m_penX), int(m_penY));
        Send(Kestrin::InputEvent_ButtonDown, int(m_penX), int(m_penY), 0);
        return true;
    }
    // Out towards the middle of the playfield, bending as it goes, never crossing itself.
    m_drawn += dt;
    const float toX = 400.0f - m_penX, toY = 270.0f - m_penY;
    const float heading = std::atan2(toY, toX) + 0.9f * std::sin(m_drawn * 2.0f);
    const float step = 160.0f * dt;
    m_penX += step * std::cos(heading);
    m_penY += step * std::sin(heading);
    Send(Kestrin::InputEvent_MouseMove, int(m_penX), int(m_penY));
    return m_drawn < kTimeDrawing;
}

float ScreenTour::TimeBeforeShot(Kestrin::ApplicationMode* top)
{
    // The lose screen's buttons come at 1.1 s; a summary's panel is in place at 4.5 s.
    if (dynamic_cast<LevelOutroFailureMode*>(top))
        return GameLevels::Instance().endless ? 5.0f : 1.5f;
    if (dynamic_cast<LevelOutroSuccessMode*>(top))
        return 5.0f;
    // A film's poster is in whole once it has faded in.
    if (MovieShown())
        return kTimeBeforeMovieShot;
    return kTimeBeforeShot;
}

std::optional<bool> ScreenTour::ActOnLevel(Kestrin::ApplicationMode* top, const Step& step)
{
    const std::string_view what = step.button;
    if (what != kDrawLine && what != kTimeUp && what != kWin)
        return std::nullopt;
    auto* game = dynamic_cast<GameMode*>(top);
    NimbalLevel* level = game ? game->GetLevel() : nullptr;
    if (what == kDrawLine)
    {
        if (m_penDown)
            Send(Kestrin::InputEvent_ButtonUp, int(m_penX), int(m_penY), 0);
        m_penDown = false;
        return true;
    }
    if (!level || level->won || level->lost)
    {
        Kestrin::LogPrintf("Tour: no level to end on %s\n", step.screen);
        return true;
    }
    // Ended under its banner the level would show nothing of itself behind the outro; a win
    // comes after a few seconds of play, so the summary has a time to show.
    if (level->notStarted || (what == kWin && level->timeElapsed < kTimeBeforeWin))
        return false;
    if (what == kTimeUp)
    {
        level->timeRemaining = 0.0f;
        return true;
    }
    level->LogPlayData(true);
    level->won = true;
    level->outroDelay = kOutroDelay;
    return true;
}

void ScreenTour::Act(Kestrin::ApplicationMode* top)
{
    if (Walk(top))
        return;
    if (dynamic_cast<MainMenuMode*>(top) && !m_asked)
    {
        m_asked = true;
        Kestrin::LogPrintf("Tour: resident memory at the main menu: %ld kB\n", GetResidentKilobytes());
        Send(Kestrin::InputEvent_KeyDown, 0, 0, Kestrin::VK_ESCAPE);
        Send(Kestrin::InputEvent_KeyUp, 0, 0, Kestrin::VK_ESCAPE);
        return;
    }
    auto* question = dynamic_cast<QuitConfirmMode*>(top);
    if (!question || m_answered || question->IsSliding() || !question->GetRootNode())
        return;
    SceneNode* yes = FindScreenNode(question->GetRootNode(), ScreenNode::QuitYes);
    if (!yes)
        return;
    m_answered = true;
    const SceneNode::Rectf rect = yes->GetWorldRect();
    const int x = int(rect.x + rect.w / 2), y = int(rect.y + rect.h / 2);
    Kestrin::LogPrintf("Tour: answering yes at (%d, %d)\n", x, y);
    Send(Kestrin::InputEvent_MouseMove, x, y);
    Send(Kestrin::InputEvent_ButtonDown, x, y, 0);
    Send(Kestrin::InputEvent_ButtonUp, x, y, 0);
}

void ScreenTour::OnAfterDraw()
{
    if (m_shotDue && m_top)
        TakeShot();
}

void ScreenTour::TakeShot()
{
    m_shotDue = false;
    m_shotTaken = true;
    Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform();
    if (!graphics)
        return;
    char number[8];
    std::snprintf(number, sizeof number, "%02zu", m_shots.size() + 1);
    const std::string path =
        m_folder + "/" + number + "-" + Kestrin::DemangledTypeName(typeid(*m_top)) + ".png";
    // Read as the window shows it: the frame is copied to the screen unblended, so what a draw left
    // in its alpha (a veil that replaced the pixels beneath) is no part of the picture.
    Kestrin::Graphics::ICanvas* canvas = graphics->GetCanvas();
    auto* pixels =
        canvas ? Kestrin::Graphics::QueryCanvas<Kestrin::Graphics::IPixelSettingCanvas>(canvas) : nullptr;
    if (!pixels)
    {
        Kestrin::LogPrintf("PNG %s: the canvas offers no pixels to read\n", path.c_str());
        return;
    }
    const Kestrin::Rect<int> bounds = canvas->GetBounds();
    std::vector<uint32_t> argb;
    argb.reserve(size_t(std::max(bounds.w, 0)) * size_t(std::max(bounds.h, 0)));
    for (int y = bounds.y; y < bounds.Bottom(); ++y)
        for (int x = bounds.x; x < bounds.Right(); ++x)
            argb.push_back(pixels->GetPixel(float(x), float(y)) | 0xFF000000u);
    if (Kestrin::Graphics::WritePng(path, argb.data(), bounds.w, bounds.h))
    {
        m_shots.push_back(path);
        Kestrin::LogPrintf("Tour: %s written after %ld ms\n", path.c_str(), MillisecondsSinceStart());
    }
}

long GetResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}
