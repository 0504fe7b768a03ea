#include "Screens/ScreenTour.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/TypeName.h"
#include "Graphics/PngWriter.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Screens/MainMenuMode.h"
#include "Screens/QuitConfirmMode.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>

namespace
{
constexpr int kEscape = 27;

// Set while the program's statics are made, which is as near its start as the game can tell.
const std::chrono::steady_clock::time_point g_processStart = std::chrono::steady_clock::now();

void Send(int type, int x, int y, int value = 0)
{
    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
        looper->HandleInputEvent(Kestrin::InputEvent{type, x, y, value});
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
        if (top)
            Kestrin::LogPrintf("Tour: %s on top after %ld ms\n",
                               Kestrin::DemangledTypeName(typeid(*top)).c_str(), MillisecondsSinceStart());
        return;
    }
    if (!top)
        return;
    m_onTop += dt;
    if (!m_shotTaken && m_onTop >= kTimeBeforeShot)
        m_shotDue = true;
    if (m_shotTaken)
        Act(top);
}

void ScreenTour::Act(Kestrin::ApplicationMode* top)
{
    if (dynamic_cast<MainMenuMode*>(top) && !m_asked)
    {
        m_asked = true;
        Kestrin::LogPrintf("Tour: resident memory at the main menu: %ld kB\n", GetResidentKilobytes());
        Send(Kestrin::InputEvent_KeyDown, 0, 0, kEscape);
        Send(Kestrin::InputEvent_KeyUp, 0, 0, kEscape);
        return;
    }
    auto* question = dynamic_cast<QuitConfirmMode*>(top);
    if (!question || m_answered || question->IsSliding() || !question->GetRootNode())
        return;
    SceneNode* yes = question->GetRootNode()->FindNode({"quitConfirmRoot", "offset", "YesQuit"});
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
    if (Kestrin::Graphics::SaveCanvasPng(graphics->GetCanvas(), path))
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
