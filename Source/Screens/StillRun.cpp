#include "Screens/StillRun.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/TypeName.h"
#include "Platform/Looper.h"
#include "Scene/TextEditNode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/AccountModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/ScreenTour.h"

#include <cwchar>
#include <string>

std::optional<float> StillRun::SecondsFromCommandLine(const wchar_t* commandLine)
{
    if (!commandLine)
        return std::nullopt;
    const std::wstring line = commandLine;
    const std::wstring key = L" -still ";
    const size_t at = line.find(key);
    if (at == std::wstring::npos)
        return std::nullopt;
    const size_t from = at + key.size();
    const std::wstring word = line.substr(from, line.find(L' ', from) - from);
    wchar_t* end = nullptr;
    const float seconds = std::wcstof(word.c_str(), &end);
    if (word.empty() || end != word.c_str() + word.size() || !(seconds > 0.0f) || seconds > 3600.0f)
        return std::nullopt;
    return seconds;
}

StillRun::StillRun(float seconds) : m_seconds(seconds)
{
    Kestrin::LogPrintf("Still: the main menu will be left alone for %.1f s\n", double(seconds));
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
        // Anything but the menu on top spoils the measurement; it starts again at the menu.
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
        ScreenTour::ClickButton(top, "OK");
        return;
    }
    if (!dynamic_cast<MainMenuMode*>(top) || looper->HasPendingRequests())
        return;
    if (!m_measuring && m_onTop >= kSettleSeconds)
        Begin();
    else if (m_measuring &&
             std::chrono::steady_clock::now() - m_wallStart >= std::chrono::duration<float>(m_seconds))
        End();
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
