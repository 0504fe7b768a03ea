#include "Screens/ScreenTour.h"

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
#include "Scene/ButtonNode.h"
#include "Scene/TextEditNode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/AccountModes.h"
#include "Screens/GameMode.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/MainMenuMode.h"
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

// The tour's own profile has played its first day but the last appointment, so the day shows open
// and closed appointments and its last one (the one the walk's clicks find) can be opened.
void PlayFirstDayButItsLast()
{
    GameLevels& levels = GameLevels::Instance();
    LevelRecord* const current = levels.current;
    for (const std::string& name : levels.order)
    {
        LevelRecord* record = levels.Find(name);
        const bool last = record->dayNum != 0;
        record->status = last ? LevelCompletionStatus::InProgress : LevelCompletionStatus::Completed;
        levels.current = record;
        levels.SaveProgress();
        if (last)
            break;
    }
    levels.current = current;
}
} // namespace

std::optional<std::string> ScreenTour::FolderFromCommandLine(const wchar_t* commandLine)
{
    if (!commandLine)
        return std::nullopt;
    // Arguments are joined with single blanks; the folder is the word after the switch.
    const std::wstring line = commandLine;
    const std::wstring key = L" -tour ";
    const size_t at = line.find(key);
    if (at == std::wstring::npos)
        return std::nullopt;
    const size_t from = at + key.size();
    const std::wstring folder = line.substr(from, line.find(L' ', from) - from);
    if (folder.empty())
        return std::nullopt;
    return Kestrin::ToUtf8(folder);
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
        {"MainMenuMode", "tictionary"},
        // Only a profile that has met a Tic opens its page; otherwise the walk goes on with the tabs.
        {"TictionaryMainMode", "button_neurotic"},
        {"TictionaryProfileMode", "button_returnToCollection"},
        {"TictionaryMainMode", "button_tab_help"},
        {"TictionaryHelpMode", "button_tab_about"},
        {"TictionaryAboutMode", "button_back"},
        // The story road: calendar, day, a guest's file, back, the level's card, the game screen.
        {"MainMenuMode", "play_tanglewisp"},
        {"LevelSelectCalendarMode", "button"},
        {"LevelSelectDayMode", "button_profile"},
        {"LevelSelectIntroMode", "button_back"},
        {"LevelSelectDayMode", "button_appointment"},
        {"LevelIntroMode", "button_next"},
        // The level with a line drawn, and the pause pop-up.
        {"GameMode", kDrawLine},
        {"GameMode", kEscapeKey},
        {"InGameMenuMode", "ResumeGame"},
        // Lost on time, tried again and won: the success outro moves on to the calendar by itself,
        // with the next day open.
        {"GameMode", kTimeUp},
        {"LevelOutroFailureMode", "button_tryAgain"},
        {"GameMode", kWin},
        {"LevelSelectCalendarMode", "button_mainmenu"},
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

bool ScreenTour::ClickButton(Kestrin::ApplicationMode* top, const char* name)
{
    auto* button = dynamic_cast<ButtonNode*>(top->FindObject(Kestrin::MakeName(name)));
    if (!button || !button->IsEnabled() || !button->IsWorldVisible())
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
            // The tour's own profile has met one Tic, so the encyclopedia shows a profile page.
            if (Kestrin::Account* account = Kestrin::AccountManager::Instance()->FindAccount(kProfileName))
                account->SetInt(std::wstring(TictionaryKeyPrefix) + L"neurotic", 1);
        }
        return true;
    }

    // The level's tutorials come when the play brings them: each is read (its picture) and closed.
    if (dynamic_cast<TutorialPopupMode*>(top))
    {
        if (ClickButton(top, "buttonOK"))
            m_sinceClick = 0.0f;
        return true;
    }

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
        if (std::string_view(step.button) == "play_tanglewisp")
            PlayFirstDayButItsLast();
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
    auto* pixels = canvas ? Kestrin::Graphics::QueryCanvas<Kestrin::Graphics::IPixelSettingCanvas>(canvas) : nullptr;
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
