#include "Platform/WindowSettings.h"

#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"

namespace Kestrin
{

namespace
{
constexpr const wchar_t* kModeKey = L"Kestrin::Window::Mode";
constexpr const wchar_t* kCustomCursorKey = L"Kestrin::Window::IsCustomCursorEnabled";

Account* CurrentAccount()
{
    AccountManager* manager = AccountManager::Instance();
    return manager ? manager->GetCurrentAccount() : nullptr;
}

// A profile file damaged after start-up costs the settings, not the game.
template <typename T, typename Read> T ReadOrKeep(Account* account, T fallback, Read read)
{
    if (!account)
        return fallback;
    try
    {
        return read(account);
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't read the window settings of the current account: %s\n", e.what());
        return fallback;
    }
}
} // namespace

void LoadWindowSettings()
{
    Account* account = CurrentAccount();

    DisplaySettings settings = GetCurrentDisplaySettings();
    int mode = ReadOrKeep(account, settings.windowMode,
                          [&](Account* a) { return a->GetInt(kModeKey, settings.windowMode); });
    // A hand-edited record must not leave the game without a window: anything but 0 is full screen.
    settings.windowMode = mode == WindowMode_Windowed ? WindowMode_Windowed : WindowMode_FullScreen;
    ApplyDisplaySettings(settings, false);

    if (IGraphicsPlatform* graphics = GetGraphicsPlatform())
    {
        const bool current = graphics->IsCustomCursorEnabled();
        graphics->SetCustomCursorEnabled(
            ReadOrKeep(account, current, [&](Account* a) { return a->GetBool(kCustomCursorKey, current); }));
    }
}

void SaveWindowSettings()
{
    SaveWindowSettings(GetCurrentDisplaySettings().windowMode);
}

void SaveWindowSettings(int windowMode)
{
    Account* account = CurrentAccount();
    if (!account)
        return;
    try
    {
        account->SetInt(kModeKey, windowMode);
        if (IGraphicsPlatform* graphics = GetGraphicsPlatform())
            account->SetBool(kCustomCursorKey, graphics->IsCustomCursorEnabled());
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't write the window settings of the current account: %s\n", e.what());
    }
}

} // namespace Kestrin
