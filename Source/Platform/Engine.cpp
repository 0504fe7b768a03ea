#include "Platform/Engine.h"

#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Base/Random.h"
#include "Base/Text.h"
#include "Framework/Application.h"
#include "Framework/CommandLine.h"
#include "Framework/LogFile.h"
#include "Framework/ResourceManager.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/ResourceFactories.h"
#include "Platform/Shim/Win32/Window.h"
#include "Platform/Win32/Win32Platform.h"

#include <SDL2/SDL.h>

#include <cstdlib>

namespace Kestrin
{

namespace
{

void ShowBoxWithSdl(const std::wstring& title, const std::wstring& text)
{
    // Headless there is no box; the log holds the same text.
    Shim::ShowErrorBox(ToUtf8(title), ToUtf8(text));
}

ErrorBoxFunction g_errorBox = &ShowBoxWithSdl;
int g_exitStatus = 0;

void ReportFatal(const std::wstring& text)
{
    g_errorBox(GetApplicationName(), text);
    // Give back a captured mouse or a changed display.
    SDL_Quit();
}

} // namespace

void SetExitStatus(int status)
{
    g_exitStatus = status;
}

int GetExitStatus()
{
    return g_exitStatus;
}

void SetErrorBoxFunction(ErrorBoxFunction function)
{
    g_errorBox = function ? function : &ShowBoxWithSdl;
}

bool InitializeEngine()
{
    InitRandomStreams();

    if (!GetPlatform())
        CreatePlatform();
    IPlatform* platform = GetPlatform();
    platform->Initialize();

    IApplication* application = GetApplication();
    if (!application)
        throw engine_error(KESTRIN_HERE, "No application object.");

    const StartupOptions* options = application->GetStartupOptions();
    if (options && options->singleInstance && platform->ActivateExistingInstance())
        return false;

    if (!GetAudioPlatform())
        CreateAudioPlatform();
    if (IAudioPlatform* audio = GetAudioPlatform())
        audio->Initialize();

    DisplaySettings wanted = *application->GetWindowMode();
    ApplyDisplaySettings(wanted, false);

    RegisterResourceFactories(*ResourceManager::Instance());

    application->Initialize();
    return true;
}

int EngineMain(int argc, char** argv)
{
    InstallFolderHooks();
    InstallLogFile();
    SetCommandLine(argc, argv);
    try
    {
        if (!InitializeEngine())
            return 0;
        Looper* looper = Looper::Current();
        // Unchanged frames stay on the screen; "-drawall" shows every frame (to measure what leaving
        // them out saves).
        looper->SetSkipUnchangedFrames(!GetProgramCommandLine().Has(L"-drawall"));
        looper->Run();
        looper->Shutdown();
    }
    catch (const std::exception& e)
    {
        LogUnhandledException(e);
        ReportFatal(UnhandledExceptionBoxText(e));
        return EXIT_FAILURE;
    }
    catch (...)
    {
        LogPrintf("Unhandled Exception!\n");
        ReportFatal(L"Unhandled Exception\n");
        return EXIT_FAILURE;
    }
    return g_exitStatus;
}

} // namespace Kestrin
