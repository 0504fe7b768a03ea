#pragma once
#include "Platform/Platform.h"
#include "Platform/Shim/Win32/SingleInstance.h"
#include "Platform/Shim/Win32/VirtualKeys.h"
#include "Platform/Shim/Win32/Window.h"

#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace Kestrin
{

// Error codes of the window platform's failures (our own; the text carries SDL's reason).
enum PlatformErrorCode : int
{
    PlatformError_VideoStart = 1,
    PlatformError_CreateWindow = 2,
    PlatformError_Events = 3,
};

// The window's events turned into the main loop's flags and input events: the operations that do
// not depend on how the window is made.
class Win32Platform : public IPlatform
{
public:
    enum Flags : uint32_t
    {
        Flag_Active = 1,
        Flag_QuitRequested = 2,
        Flag_RepaintRequested = 4,
    };

    // Registers itself, makes the program's folder the current directory, and routes the object
    // database's capture release here.
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Creates the file system (when none exists) and starts it.
    void Initialize() override;
    void Shutdown() override;
    bool ActivateExistingInstance() override { return false; }
    void DestroyWindow() override;
    void RestoreWindow() override;
    void ShellOpen(const std::wstring& target) override;
    bool IsActive() override { return m_flags & Flag_Active; }
    bool IsQuitRequested() override { return m_flags & Flag_QuitRequested; }
    bool IsRepaintRequested() override { return m_flags & Flag_RepaintRequested; }
    void ClearRepaintRequest() override { m_flags &= ~uint32_t(Flag_RepaintRequested); }
    void SetCapture() override;
    void ReleaseCapture() override;

    // One SDL event: flags, cursor and input (input reaches the sink only inside PumpMessages).
    virtual void WindowProc(const SDL_Event& event);

    // Stores the cursor shown over the window (null: the system default) and shows it at once
    // when the mouse is over the window.
    void SetCursor(SDL_Cursor* cursor);
    SDL_Cursor* GetStoredCursor() const { return m_cursor; }
    // Applies the cursor rule again when the mouse is over the window (after the custom cursor
    // was switched on or off).
    void RefreshCursor();

    // A client position in the logical frame as the display shows it: through its back buffer
    // (stretched, or letterboxed in full screen) within the window's size as the display back end
    // reports it now; before a display exists, the current settings. A zero-sized client area
    // gives (0, 0).
    void ClientToLogical(int x, int y, int& logicalX, int& logicalY) const;

    SDL_Window* GetWindowHandle() const { return m_window; }
    void* GetDisplayWindow() override { return m_window; }
    uint32_t GetFlags() const { return m_flags; }
    // The 256-entry virtual-key state (0x80 down, bit 0 of VK_CAPITAL and VK_NUMLOCK the toggles).
    const std::array<uint8_t, 256>& GetKeyboardState() const { return m_keys.Bytes(); }

protected:
    bool IsOurWindow(uint32_t windowId) const;
    // Whether the mouse is over the window now (SDL's mouse focus).
    virtual bool IsMouseOverWindow() const;
    void Send(const InputEvent& event);
    // Hidden while the graphics platform draws its own cursor and the window is active; else the
    // stored cursor.
    void ApplyCursor();
    void OnKey(const SDL_KeyboardEvent& key, bool down);

    SDL_Window* m_window = nullptr;
    uint32_t m_flags = 0;
    IInputEventSink* m_sink = nullptr;
    bool m_trackingLeave = false;
    SDL_Cursor* m_cursor = nullptr;
    Shim::KeyboardState m_keys;
};

// The program's platform: the single running copy, video start, the window and its sizing rules,
// and the event pump.
class Win32ApplicationPlatform : public Win32Platform
{
public:
    Win32ApplicationPlatform();
    ~Win32ApplicationPlatform() override;

    // The file system, the single-copy lock, then SDL video ("Could not register a window class.").
    void Initialize() override;
    void Shutdown() override;
    bool ActivateExistingInstance() override;
    void CreateMainWindow(const DisplaySettings& settings) override;
    void CheckScreenResolution(const DisplaySettings& settings) override;
    bool HasPendingMessages() override;
    void PumpMessages(IInputEventSink* sink) override;
    void WaitForMessages() override;

    void WindowProc(const SDL_Event& event) override;

    // Windowed with sizing mode 1, a resize is followed by one that restores the aspect ratio.
    void OnSizing(int width, int height);
    void OnClose();

protected:
    // The primary screen's size; false when unknown (the check then passes).
    virtual bool GetScreenSize(int& width, int& height);

private:
    // A later copy's wake-up brings the window to the front.
    void CheckActivationRequest();

    std::unique_ptr<Shim::SingleInstance> m_instance;
    Shim::EventPump m_pump;
    bool m_videoStarted = false;
    int m_lastClientWidth = 0;
    int m_lastClientHeight = 0;
};

// The application's name (window title, lock name, error box title), or "Kestrin 2DEngine".
std::wstring GetApplicationName();

// Tells the engine's folder functions (GetAppDataFolder, GetExecutableFolder) where the system
// keeps per-user data and the program. The platform's constructor and the process entry call it.
void InstallFolderHooks();

// For graphics platforms: applies the window's cursor rule again at once.
void RefreshWindowCursor();

} // namespace Kestrin
