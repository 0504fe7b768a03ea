// The program. The game's application and screens are not there yet, so it runs the engine with a
// stand-in application: a window with one empty screen until the window is closed. No graphics
// platform exists yet either, so nothing is drawn into the window.
#include "Base/Log.h"
#include "Framework/Application.h"
#include "Platform/ApplicationMode.h"
#include "Platform/BassAudio.h"
#include "Platform/Engine.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"

namespace
{

class EmptyScreenApplication : public Kestrin::BaseApplication
{
public:
    EmptyScreenApplication()
    {
        m_info.companyName = L"Quorvane";
        m_info.productName = L"Tanglewisp";
        m_info.rightsNotice = L"";
        m_info.userVersion = L"0.1";
        m_info.fullVersion = L"0.1.0.0";
    }

    const Kestrin::DisplaySettings* GetWindowMode() override
    {
        // Windowed: a full-screen window that shows nothing would only be in the way.
        static const Kestrin::DisplaySettings windowed{0, 1, 800, 600};
        return &windowed;
    }

    void Initialize() override
    {
        Kestrin::LogPrintf("Tanglewisp: the game is not there yet. This window is the engine running one empty "
                           "screen; nothing is drawn yet. Close the window to end.\n");
        Kestrin::ChangeMode(new Kestrin::ApplicationMode());
    }
};

// Until the graphics platforms exist the display walk makes none, so the window opens empty.
class NoGraphicsFactory : public Kestrin::IGraphicsPlatformFactory
{
public:
    bool CreateDisplay() override { return true; }
    Kestrin::IGraphicsPlatform* CreateGraphicsPlatform(int) override { return nullptr; }
};

EmptyScreenApplication g_application;
NoGraphicsFactory g_graphicsFactory;

} // namespace

int main(int argc, char** argv)
{
    Kestrin::SetGraphicsPlatformFactory(&g_graphicsFactory);
    Kestrin::SetAudioPlatformFactory(&Kestrin::MakeBASSAudioPlatform);
    return Kestrin::EngineMain(argc, argv);
}
