// The program: the game, with the run its switches ask for beside it ("-tour", "-still"; see
// Runs/ProgramRun.h). "-testcard" runs the engine with a stand-in application instead, one screen
// that shows the renderers' test card until the window is closed.
#include "Base/Log.h"
#include "Framework/Application.h"
#include "Framework/CommandLine.h"
#include "Framework/FileSystem.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/TestCard.h"
#include "Platform/ApplicationMode.h"
#include "Platform/BassAudio.h"
#include "Platform/Engine.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Win32/GraphicsPlatforms.h"
#include "Runs/ProgramRun.h"
#include "Screens/Application.h"
#include "Screens/ResourceFactoryRegistrars.h"

#include <memory>
#include <optional>
#include <string>

namespace
{

class TestCardScreen : public Kestrin::ApplicationMode
{
public:
    void Enter() override
    {
        m_image = Kestrin::Graphics::MakeTestCardImage();
        // Fonts lie in a subfolder of the data tree, found by bare name while the index is on.
        Kestrin::IFileSystem* files = Kestrin::GetFileSystem();
        if (files)
            files->BeginIndexing();
        m_font = Kestrin::LoadImageFont(L"DejaVuSans16", L"DejaVuSans16");
        if (files)
            files->EndIndexing();
        if (!m_font)
            Kestrin::LogPrintf(
                "Tanglewisp: the test card's font DejaVuSans16 did not load; the card has no text.\n");
    }

    void Draw() override
    {
        using namespace Kestrin::Graphics;
        ICanvas* canvas = GetCurrentCanvas();
        DrawTestCard(canvas, m_image.get(), m_font.get());
        if (!m_font)
            return;
        Kestrin::NameId name;
        if (Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform())
            graphics->GetName(name);
        const std::string renderer = name.c_str() ? name.c_str() : "none";
        const std::wstring line =
            L"Renderer: " + std::wstring(renderer.begin(), renderer.end()) + L". Close the window to end.";
        DrawState state = CurrentDrawState();
        state.font = m_font.get();
        state.color = Kestrin::ColorF::FromARGB(0xFF3A2E39);
        DrawText(line.c_str(), 20.0f, 560.0f, state, canvas);
    }

private:
    std::unique_ptr<Kestrin::Image> m_image;
    std::unique_ptr<Kestrin::ImageFont> m_font;
};

class TestCardApplication : public Kestrin::BaseApplication
{
public:
    TestCardApplication()
    {
        m_info.companyName = L"Quorvane";
        m_info.productName = L"Tanglewisp";
        m_info.rightsNotice = L"";
        m_info.userVersion = L"0.1";
        m_info.fullVersion = L"0.1.0.0";
    }

    const Kestrin::DisplaySettings* GetWindowMode() override
    {
        static const Kestrin::DisplaySettings windowed{0, 1, 800, 600};
        return &windowed;
    }

    void Initialize() override
    {
        Kestrin::LogPrintf("Tanglewisp: the renderer's test card; close the window to end.\n");
        Kestrin::ChangeMode(new TestCardScreen());
    }
};

} // namespace

// The game's one application object, made before the entry runs.
ProgramWithRun g_application([] { return MakeProgramRun(Kestrin::GetProgramCommandLine()); });

int main(int argc, char** argv)
{
    // The stand-in takes the engine's application pointer while it lives.
    std::optional<TestCardApplication> testCard;
    if (Kestrin::CommandLine(argc, argv).Has(L"-testcard"))
        testCard.emplace();

    Kestrin::SetGraphicsPlatformFactory(&Kestrin::GetDisplayGraphicsFactory());
    Kestrin::SetAudioPlatformFactory(&Kestrin::MakeBASSAudioPlatform);
    // The engine's start-up registers the game's kinds after its own.
    AddGameResourceFactoryRegistrars();
    return Kestrin::EngineMain(argc, argv);
}
