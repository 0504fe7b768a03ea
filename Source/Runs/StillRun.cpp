#include "Runs/StillRun.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/TypeName.h"
#include "Game/GameConstants.h"
#include "Game/TutorialPopupMode.h"
#include "Platform/Looper.h"
#include "Runs/ScreenTour.h"
#include "Scene/ButtonNode.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/TextEditNode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/AccountModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"

#include <algorithm>
#include <cwchar>
#include <string>

namespace
{
// The first button of that name in the screen's tree that takes a click: several may share a name
// (a day's appointments), of which only the open ones are enabled.
ButtonNode* FindClickableButton(SceneNode* node, Kestrin::NameId name)
{
    for (SceneNode* child = node ? node->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        auto* button = dynamic_cast<ButtonNode*>(child);
        if (button && button->GetName() == name && button->IsEnabled() && button->IsWorldVisible())
            return button;
        if (ButtonNode* found = FindClickableButton(child, name))
            return found;
    }
    return nullptr;
}

bool Click(Kestrin::ApplicationMode* top, const std::string& name)
{
    auto* screen = dynamic_cast<SceneApplicationMode*>(top);
    ButtonNode* button =
        screen ? FindClickableButton(screen->GetRootNode(), Kestrin::MakeName(name)) : nullptr;
    Kestrin::Looper* looper = Kestrin::Looper::Current();
    if (!button || !looper)
        return false;
    const SceneNode::Rectf rect = button->GetWorldRect();
    const int x = int(rect.x + rect.w / 2), y = int(rect.y + rect.h / 2);
    Kestrin::LogPrintf("Still: clicking %s at (%d, %d)\n", name.c_str(), x, y);
    for (int type :
         {Kestrin::InputEvent_MouseMove, Kestrin::InputEvent_ButtonDown, Kestrin::InputEvent_ButtonUp})
        looper->HandleInputEvent(Kestrin::InputEvent{type, x, y, 0});
    return true;
}
} // namespace

std::optional<StillRun::Settings> StillRun::FromCommandLine(const Kestrin::CommandLine& line)
{
    const std::vector<std::wstring> words = line.After(L"-still", 2);
    if (words.empty())
        return std::nullopt;
    const std::wstring& number = words[0];
    wchar_t* end = nullptr;
    const float seconds = std::wcstof(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !(seconds > 0.0f) || seconds > 3600.0f)
        return std::nullopt;
    Settings settings{seconds, {}};
    if (words.size() > 1 && !words[1].empty() && words[1][0] != L'-')
        settings.button = Kestrin::ToUtf8(words[1]);
    return settings;
}

StillRun::StillRun(Settings settings) : m_settings(std::move(settings))
{
    for (size_t from = 0; from < m_settings.button.size();)
    {
        const size_t comma = std::min(m_settings.button.find(',', from), m_settings.button.size());
        if (comma > from)
            m_path.push_back(m_settings.button.substr(from, comma - from));
        from = comma + 1;
    }
    Kestrin::LogPrintf("Still: %s will be left alone for %.1f s\n",
                       m_settings.button.empty() ? "the main menu" : m_settings.button.c_str(),
                       double(m_settings.seconds));
}

void StillRun::Update(float dt)
{
    Kestrin::Looper* looper = Kestrin::Looper::Current();
    Kestrin::ApplicationMode* top = looper ? looper->GetTopMode() : nullptr;
    if (m_done || !top)
        return;
    if (top != m_top)
    {
        m_top = top;
        m_onTop = 0.0f;
        // A new screen on top spoils the measurement; it starts again once a screen settles.
        m_measuring = false;
        return;
    }
    m_onTop += dt;
    if (dynamic_cast<FirstAccountMode*>(top))
    {
        auto* popup = dynamic_cast<AbstractSlidingMode*>(top);
        if ((popup && popup->IsSliding()) || looper->HasPendingRequests() || m_onTop < 0.5f)
            return;
        if (auto* field = dynamic_cast<TextEditNode*>(top->FindObject(Kestrin::MakeName("AccountName"))))
            field->SetText(kProfileName);
        // The question takes the menu's click; the way starts again once it is answered.
        if (Click(top, "OK"))
            m_next = 0;
        return;
    }
    if (looper->HasPendingRequests())
        return;
    if (auto* popup = dynamic_cast<AbstractSlidingMode*>(top); popup && popup->IsSliding())
        return;
    const bool menu = dynamic_cast<MainMenuMode*>(top) != nullptr;
    if (m_next < m_path.size())
    {
        if (m_onTop >= (menu ? kSettleSeconds : kStepSeconds))
            Advance(top);
        return;
    }
    // With no buttons the menu is measured, and nothing is measured before the way is taken.
    if (m_onTop < kSettleSeconds || (m_path.empty() && !menu))
        return;
    if (!m_measuring)
        Begin();
    else if (std::chrono::steady_clock::now() - m_wallStart >=
             std::chrono::duration<float>(m_settings.seconds))
        End();
}

void StillRun::Advance(Kestrin::ApplicationMode* top)
{
    if (dynamic_cast<TutorialPopupMode*>(top))
    {
        Click(top, GameNames::TutorialButtonOK.Text());
        return;
    }
    if (dynamic_cast<FlashInterstitialMode*>(top))
    {
        // A click skips a movie.
        top->OnMouseDown(Kestrin::MouseButton(0), 400, 300);
        return;
    }
    for (size_t i = m_next; i < m_path.size(); ++i)
        if (Click(top, m_path[i]))
        {
            m_next = i + 1;
            m_onTop = 0.0f;
            return;
        }
}

void StillRun::Begin()
{
    m_measuring = true;
    m_cpuStart = std::clock();
    m_wallStart = std::chrono::steady_clock::now();
    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
    {
        m_framesAtStart = looper->GetDrawnFrameCount();
        m_unchangedAtStart = looper->GetUnchangedFrameCount();
    }
}

void StillRun::End()
{
    const double cpu = double(std::clock() - m_cpuStart) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallStart).count();
    m_measuring = false;
    m_done = true;
    Kestrin::Looper* looper = Kestrin::Looper::Current();
    const long drawn = looper ? looper->GetDrawnFrameCount() - m_framesAtStart : 0;
    const long unchanged = looper ? looper->GetUnchangedFrameCount() - m_unchangedAtStart : 0;
    Kestrin::LogPrintf("Still: %s for %.3f s: %.3f s of CPU, %.2f %% of a core, %ld frames drawn, %ld left "
                       "as they were\n",
                       Kestrin::DemangledTypeName(typeid(*m_top)).c_str(), wall, cpu,
                       wall > 0 ? 100.0 * cpu / wall : 0.0, drawn, unchanged);
    if (looper)
        looper->RequestQuit();
}
